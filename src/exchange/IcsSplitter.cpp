#include "exchange/IcsSplitter.h"

#include <QIODevice>
#include <QUtf8StringView>

namespace {

// Limits that keep a damaged or hostile file from taking the memory: a folded text of 10,000
// characters is some 40 KB, and a calendar program's largest components (time zones with every
// historical rule) are a few hundred.
constexpr qsizetype kMaxLine = 4 * 1024 * 1024;
constexpr qsizetype kMaxComponent = 16 * 1024 * 1024;
constexpr int kMaxDepth = 8;

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// A content line is a name, then parameters and a value after ':'. Control characters other
// than tab have no place in it; invalid UTF-8 means the file is not text.
bool IsContentLine(const QByteArray& line)
{
    qsizetype i = 0;
    while (i < line.size() && IsNameChar(line.at(i)))
        ++i;
    if (i == 0 || i == line.size() || (line.at(i) != ':' && line.at(i) != ';') || !line.contains(':'))
        return false;
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7f)
            return false;
    }
    return QUtf8StringView(line).isValidUtf8();
}

// "BEGIN" or "END" with its value in capitals, when the line is one of them.
bool IsMarker(const QByteArray& line, const char* marker, QByteArray& value)
{
    // Asked of every line, most of which are neither: nothing is allocated until one is.
    const auto size = qsizetype(qstrlen(marker));
    if (line.size() <= size + 1 || line.at(size) != ':' || qstrnicmp(line.constData(), marker, size) != 0)
        return false;
    value = line.mid(size + 1).trimmed().toUpper();
    return true;
}

QString Name(const QByteArray& name)
{
    return QString::fromLatin1(name);
}

} // namespace

CIcsSplitter::CIcsSplitter(QIODevice* device) : m_pDevice(device) {}

bool CIcsSplitter::ReadPhysical(QByteArray& line)
{
    line.clear();
    if (m_bEof || !m_pDevice || m_pDevice->atEnd()) {
        m_bEof = true;
        return false;
    }
    // Through a small buffer of our own: QIODevice::readLine(maxSize) would set aside the whole
    // limit for every line.
    char buffer[8192];
    while (line.size() <= kMaxLine) {
        const qint64 nRead = m_pDevice->readLine(buffer, qint64(sizeof buffer));
        if (nRead <= 0)
            break;
        line.append(buffer, qsizetype(nRead));
        if (line.endsWith('\n'))
            break;
    }
    if (line.isEmpty()) {
        m_bEof = true;
        return false;
    }
    ++m_nPhysical;
    return true;
}

CIcsSplitter::Step CIcsSplitter::Fail(int nLine, const QString& text)
{
    m_bFailed = true;
    m_strError = QStringLiteral("第 %1 行：").arg(nLine) + text;
    return Step::Failed;
}

QString CIcsSplitter::CutText() const
{
    QString text = QStringLiteral("从第 %1 行开始").arg(m_current.nLine);
    if (!m_uid.isEmpty())
        text += QStringLiteral("，UID %1").arg(QString::fromUtf8(m_uid));
    return text;
}

CIcsSplitter::Step CIcsSplitter::Next(IcsChunk& chunk)
{
    if (m_bFailed)
        return Step::Failed;
    for (;;) {
        QByteArray physical;
        const bool bRead = ReadPhysical(physical);
        if (bRead) {
            const bool bEnded = physical.endsWith('\n');
            if (!bEnded && physical.size() > kMaxLine)
                return Fail(m_nPhysical, QStringLiteral("一行太长（超过 4 MB），这不是日历文件。"));
            QByteArray content = physical;
            if (bEnded)
                content.chop(content.endsWith("\r\n") ? 2 : 1);
            if (m_nPhysical == 1 && content.startsWith("\xEF\xBB\xBF"))
                content.remove(0, 3);
            // A line that starts with a space or a tab continues the one before it.
            if (m_bHavePending && (content.startsWith(' ') || content.startsWith('\t'))) {
                m_pending.unfolded += content.mid(1);
                m_pending.raw += physical;
                if (m_pending.unfolded.size() > kMaxLine)
                    return Fail(m_pending.nLine, QStringLiteral("一行太长（超过 4 MB），这不是日历文件。"));
                continue;
            }
            const Line previous = m_pending;
            const bool bHadPending = m_bHavePending;
            m_pending = Line{content, physical, m_nPhysical};
            m_bHavePending = true;
            if (bHadPending) {
                Step failed = Step::Component;
                if (Take(previous, chunk, failed))
                    return Step::Component;
                if (failed == Step::Failed)
                    return failed;
            }
            continue;
        }
        if (m_bHavePending) {
            m_bHavePending = false;
            Step failed = Step::Component;
            if (Take(m_pending, chunk, failed))
                return Step::Component;
            if (failed == Step::Failed)
                return failed;
        }
        const int nLast = qMax(1, m_nPhysical);
        switch (m_state) {
        case State::Start:
            return m_nPhysical <= 1 ? Fail(1, QStringLiteral("文件是空的。"))
                                    : Fail(nLast, QStringLiteral("文件里没有日历（没有 BEGIN:VCALENDAR）。"));
        case State::InCalendar:
            return Fail(nLast, QStringLiteral("文件在 END:VCALENDAR 之前就结束了，文件不完整。"));
        case State::InComponent:
            return Fail(nLast, QStringLiteral("文件在 %1 的中间结束了（%2），文件不完整。")
                                   .arg(Name(m_current.name), CutText()));
        case State::AfterCalendar:
            return Step::End;
        }
    }
}

bool CIcsSplitter::Take(const Line& line, IcsChunk& chunk, Step& failed)
{
    auto fail = [&](int nLine, const QString& text) {
        failed = Fail(nLine, text);
        return false;
    };
    if (line.unfolded.trimmed().isEmpty()) {
        // Blank lines are not iCalendar, but many files end with one; libical never sees them.
        return false;
    }
    if (!IsContentLine(line.unfolded))
        return fail(line.nLine, QStringLiteral("这一行不是日历内容（文件已损坏，或不是 iCalendar 文件）。"));

    QByteArray value;
    switch (m_state) {
    case State::Start:
    case State::AfterCalendar:
        if (IsMarker(line.unfolded, "BEGIN", value) && value == "VCALENDAR") {
            m_state = State::InCalendar;
            return false;
        }
        return fail(line.nLine, m_state == State::Start
                                    ? QStringLiteral("不是 iCalendar 文件（应以 BEGIN:VCALENDAR 开始）。")
                                    : QStringLiteral("END:VCALENDAR 之后还有内容，文件已损坏。"));
    case State::InCalendar:
        if (IsMarker(line.unfolded, "BEGIN", value)) {
            m_state = State::InComponent;
            m_stack = {value};
            m_current = IcsChunk{value, line.raw, line.nLine};
            m_uid.clear();
            return false;
        }
        if (IsMarker(line.unfolded, "END", value)) {
            if (value == "VCALENDAR") {
                m_state = State::AfterCalendar;
                return false;
            }
            return fail(line.nLine, QStringLiteral("END:%1 前面没有对应的 BEGIN:%1。").arg(Name(value)));
        }
        return false; // the calendar's own properties (VERSION, PRODID, METHOD, …)
    case State::InComponent:
        break;
    }

    if (IsMarker(line.unfolded, "BEGIN", value)) {
        if (m_stack.size() >= kMaxDepth)
            return fail(line.nLine, QStringLiteral("组件嵌套太深，文件已损坏。"));
        m_stack.append(value);
    } else if (IsMarker(line.unfolded, "END", value)) {
        if (value != m_stack.constLast()) {
            if (value == "VCALENDAR")
                return fail(line.nLine, QStringLiteral("缺少 END:%1（%2 %3），文件不完整。")
                                            .arg(Name(m_stack.constLast()), Name(m_current.name), CutText()));
            return fail(
                line.nLine,
                QStringLiteral("应为 END:%1，却是 END:%2。").arg(Name(m_stack.constLast()), Name(value)));
        }
        m_stack.removeLast();
    } else if (m_stack.size() == 1 && qstrnicmp(line.unfolded.constData(), "UID", 3) == 0 &&
               line.unfolded.size() > 3 && (line.unfolded.at(3) == ':' || line.unfolded.at(3) == ';')) {
        m_uid = line.unfolded.mid(line.unfolded.indexOf(':') + 1);
    }
    m_current.text += line.raw;
    if (m_current.text.size() > kMaxComponent)
        return fail(
            line.nLine,
            QStringLiteral("%1 太大（超过 16 MB，%2），文件已损坏。").arg(Name(m_current.name), CutText()));
    if (!m_stack.isEmpty())
        return false;
    m_state = State::InCalendar;
    chunk = m_current;
    m_current = IcsChunk{};
    return true;
}
