#include "timetable/Timetable.h"

#include "app/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <climits>
#include <cmath>

namespace {

const char* const kCodePage = "GB18030";
const QString kRowsMarker = QStringLiteral("/* KCBINFO-35 ROW */");
const QString kEndMarker = QStringLiteral("/* KCBINFO-35 ROW OVER*/");
const QString kTrue = QStringLiteral("true");
const QString kFalse = QStringLiteral("false");

QRect FromEdges(int nLeft, int nTop, int nRight, int nBottom)
{
    // Right and bottom edges lie outside the area, as the display's layout counts them.
    return QRect(QPoint(nLeft, nTop), QPoint(nRight - 1, nBottom - 1));
}

QString DecodeLine(QStringDecoder& decoder, QByteArrayView line)
{
    // A sequence cut short at the end of the line would be dropped by the converter without a
    // trace; a line feed behind it turns it into a replacement character like any other bad byte.
    QByteArray bytes(line.data(), line.size());
    bytes.append('\n');
    QString text = decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

QByteArray Encode(QStringEncoder& encoder, const QString& text)
{
    return encoder.isValid() ? QByteArray(encoder.encode(text)) : text.toLatin1();
}

// Leading blanks, a sign and digits, as C's atoi reads them; what does not fit an int gives the
// nearest int.
int ReadInt(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool bNegative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        bNegative = text[i++] == u'-';
    long long nValue = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        nValue = nValue * 10 + (text[i].unicode() - u'0');
        if (nValue > static_cast<long long>(INT_MAX) + 1)
            nValue = static_cast<long long>(INT_MAX) + 1;
    }
    if (bNegative)
        nValue = -nValue;
    return int(qBound(static_cast<long long>(INT_MIN), nValue, static_cast<long long>(INT_MAX)));
}

// A decimal number at the start of the text, as C's atof reads one; anything else gives 0, and
// so does a number too large to write back.
double ReadDouble(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    const qsizetype nStart = i;
    auto digits = [&] {
        const qsizetype nFrom = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        return i - nFrom;
    };
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype nDigits = digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        nDigits += digits();
    }
    if (nDigits == 0)
        return 0.0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        const qsizetype nMantissaEnd = i;
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digits() == 0)
            i = nMantissaEnd;
    }
    bool bOk = false;
    const double dValue = text.mid(nStart, i - nStart).toString().toDouble(&bOk);
    return bOk && std::isfinite(dValue) ? dValue : 0.0;
}

} // namespace

CTimetable::CTimetable(const QString& strFolder)
    : m_strTeacher(QStringLiteral("Tarrin")),
      m_strTerm(QStringLiteral("2009-2010年第一学期")),
      m_strClassTime{QStringLiteral("08:20"), QStringLiteral("10:20"), QStringLiteral("14:00"),
                     QStringLiteral("16:00"), QStringLiteral("19:00")},
      m_rcTitle(FromEdges(210, 8, 483, 29)),
      m_palette{QColor(0, 0, 0),     QColor(255, 0, 0),   QColor(0, 102, 0),     QColor(0, 0, 255),
                QColor(255, 255, 0), QColor(0, 255, 255), QColor(255, 0, 255),   QColor(204, 153, 0),
                QColor(255, 153, 102), QColor(102, 153, 153)}
{
    const int tops[kPeriods] = {116, 180, 243, 303, 364};
    const int bottoms[kPeriods] = {137, 201, 264, 324, 385};
    for (int p = 0; p < kPeriods; ++p)
        m_rcTime[p] = FromEdges(75, tops[p], 113, bottoms[p]);
    for (int d = 0; d < kDays; ++d) {
        for (int p = 0; p < kPeriods; ++p)
            m_rcCell[SlotIndex(d, p)] = FromEdges(122 + 80 * d, 92 + 62 * p, 194 + 80 * d, 146 + 62 * p);
    }
    SetFolder(strFolder);
}

CTimetable::~CTimetable() = default;

void CTimetable::SetFolder(const QString& strFolder)
{
    m_strFile = strFolder.isEmpty() ? QString() : strFolder + u'/' + FileName();
    m_lastSeen = {};
    m_bEverTried = false;
}

CTimetable::FileState CTimetable::CurrentFileState() const
{
    const QFileInfo info(m_strFile);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified(), int(info.permissions())};
}

bool CTimetable::Load()
{
    m_lastSeen = CurrentFileState();
    m_bEverTried = true;
    QFile file(m_strFile);
    if (m_strFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    ReadFrom(file.readAll());
    return true;
}

CTimetable::Reload CTimetable::ReloadIfChanged()
{
    if (m_bEverTried && CurrentFileState() == m_lastSeen)
        return Reload::Unchanged;
    return Load() ? Reload::Loaded : Reload::Failed;
}

CAtomicFile::Result CTimetable::Save() const
{
    if (m_strFile.isEmpty())
        return {false, false, QString()};
    return CAtomicFile::Replace(m_strFile, ToBytes());
}

void CTimetable::ReadFrom(const QByteArray& bytes)
{
    // Text mode: a line ends at LF, and the CR before it belongs to the line break.
    QList<QByteArrayView> lines;
    for (qsizetype nStart = 0; nStart < bytes.size();) {
        qsizetype nEnd = bytes.indexOf('\n', nStart);
        if (nEnd < 0)
            nEnd = bytes.size();
        QByteArrayView line(bytes.constData() + nStart, nEnd - nStart);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        nStart = nEnd + 1;
    }
    // Stateless: one converter serves every line, none carries a cut sequence into the next.
    QStringDecoder decoder(kCodePage, QStringConverter::Flag::Stateless);
    qsizetype nNext = 0;
    auto next = [&]() { return nNext < lines.size() ? DecodeLine(decoder, lines[nNext++]) : (++nNext, QString()); };

    m_strTeacher = next();
    m_strTerm = next();
    QString strTimes = next();
    for (QString& strTime : m_strClassTime) {
        const qsizetype nSemicolon = strTimes.indexOf(u';');
        if (nSemicolon < 0) {
            strTime.clear();
            continue;
        }
        strTime = strTimes.left(nSemicolon);
        strTimes = strTimes.mid(nSemicolon + 1);
    }
    next(); // the rows marker
    for (CourseEntry& entry : m_entries) {
        entry.bHasCourse = next() == kTrue;
        entry.strName = next();
        entry.dCredit = ReadDouble(next());
        entry.strWeeks = next();
        entry.strType = next();
        entry.strClass = next();
        entry.nStudents = ReadInt(next());
        entry.strPlace = next();
        entry.strRoomType = next();
    }
    AssignColors();
}

QByteArray CTimetable::ToBytes() const
{
    QString strTimes;
    for (const QString& strTime : m_strClassTime)
        strTimes += strTime + u';';
    QStringList lines{m_strTeacher, m_strTerm, strTimes, kRowsMarker};
    for (const CourseEntry& entry : m_entries) {
        lines << (entry.bHasCourse ? kTrue : kFalse) << entry.strName << QString::asprintf("%.2f", entry.dCredit)
              << entry.strWeeks << entry.strType << entry.strClass << QString::number(entry.nStudents)
              << entry.strPlace << entry.strRoomType;
    }
    QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += Encode(encoder, line) + "\r\n";
    return bytes + Encode(encoder, kEndMarker);
}

void CTimetable::AssignColors()
{
    // The list of names outlives every load, so a course keeps its colour for the whole run.
    for (CourseEntry& entry : m_entries) {
        if (!entry.bHasCourse)
            continue;
        qsizetype nIndex = m_courseNames.indexOf(entry.strName);
        if (nIndex < 0 && m_courseNames.size() < kMaxNames) {
            m_courseNames.append(entry.strName);
            nIndex = m_courseNames.size() - 1;
        }
        entry.crColor = m_palette[nIndex < 0 ? kMaxNames - 1 : qMin<qsizetype>(nIndex, kMaxNames - 1)];
    }
}

int CTimetable::SlotAt(const QPoint& pt) const
{
    for (int i = 0; i < kSlots; ++i) {
        if (m_rcCell[i].contains(pt))
            return i;
    }
    return -1;
}

QString CTimetable::CaptionText(int nTeachWeek, int nWeekday) const
{
    static const QString days[] = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                                   QStringLiteral("四"), QStringLiteral("五"), QStringLiteral("六"),
                                   QStringLiteral("天")};
    const QString strDay = nWeekday >= 1 && nWeekday <= 7 ? days[nWeekday - 1] : QString();
    return m_strTeacher + QStringLiteral("-课程表 【今天是:第%1周 星期%2】").arg(nTeachWeek).arg(strDay);
}

QString CTimetable::TooltipText(int nSlot) const
{
    const CourseEntry& e = m_entries.at(size_t(nSlot));
    return QStringLiteral("课程名称:") + e.strName + QStringLiteral("\n课程学分:") +
           QString::asprintf("%.2f", e.dCredit) + QStringLiteral("\n行课时间:") + e.strWeeks +
           QStringLiteral("\n课程类型:") + e.strType + QStringLiteral("\n选课班级:") + e.strClass +
           QStringLiteral("\n学生人数:") + QString::number(e.nStudents) + QStringLiteral("\n上课地点:") +
           e.strPlace + QStringLiteral("\n教室类型:") + e.strRoomType;
}

QString CTimetable::WeeksText(int nFirst, int nLast)
{
    return QStringLiteral("%1-%2 周").arg(nFirst).arg(nLast);
}

void CTimetable::SplitWeeks(const QString& strWeeks, int& nFirst, int& nLast)
{
    const qsizetype nDash = strWeeks.indexOf(u'-');
    nFirst = nDash < 0 ? 0 : ReadInt(QStringView(strWeeks).left(nDash));
    // The last week is what follows the dash, without the closing " 周".
    QStringView last = QStringView(strWeeks).mid(nDash + 1);
    if (last.endsWith(QStringLiteral(" 周")))
        last.chop(2);
    nLast = ReadInt(last);
}

QString CTimetable::TimeText(int nHour, int nMinute)
{
    return QStringLiteral("%1:%2").arg(nHour, 2, 10, QLatin1Char('0')).arg(nMinute, 2, 10, QLatin1Char('0'));
}

const QStringList& CTimetable::CourseTypes()
{
    static const QStringList types{QStringLiteral("公共基础课"), QStringLiteral("公共选修课"),
                                   QStringLiteral("专业选修课"), QStringLiteral("专业必须课")};
    return types;
}

const QStringList& CTimetable::RoomTypes()
{
    static const QStringList types{QStringLiteral("小教室（无多媒体）"), QStringLiteral("小教室（有多媒体）"),
                                   QStringLiteral("大教室（无多媒体）"), QStringLiteral("大教室（有多媒体）")};
    return types;
}
