#include "controls/GifPicture.h"

#include "controls/GifBlocks.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QPainter>
#include <chrono>
#include <condition_variable>
#include <mutex>

// Everything the animation thread touches lives here and is shared with it, so that a thread
// that has to be abandoned by Stop can finish on its own without reaching into a control that
// may be gone by then.
struct CGifPicture::Shared
{
    mutable QMutex lock; // guards canvas and background: the thread draws while the window paints
    QImage canvas;
    QColor background = Qt::white;

    QList<GifFrame> frames; // not changed while a thread runs
    FrameHook hook;

    std::mutex exitMutex;
    std::condition_variable exitEvent;
    bool bExit = false;
    bool bFinished = false;

    QMutex targetLock;
    QWidget* pTarget = nullptr; // the control to repaint; null once it no longer wants frames

    void Invalidate()
    {
        QMutexLocker locker(&targetLock);
        if (pTarget)
            QMetaObject::invokeMethod(
                pTarget, [w = pTarget] { w->update(); }, Qt::QueuedConnection);
    }
    bool ExitRequested()
    {
        std::lock_guard guard(exitMutex);
        return bExit;
    }
    // Waits for the frame's time, or until Stop asks the thread to end.
    void Wait(int nMs)
    {
        std::unique_lock guard(exitMutex);
        if (nMs < 0)
            exitEvent.wait(guard, [this] { return bExit; });
        else
            exitEvent.wait_for(guard, std::chrono::milliseconds(nMs), [this] { return bExit; });
    }
};

CGifPicture::CGifPicture(QWidget* pParent) : QWidget(pParent), m_pShared(std::make_shared<Shared>())
{
    m_pShared->pTarget = this;
}

CGifPicture::~CGifPicture()
{
    Stop();
    QMutexLocker locker(&m_pShared->targetLock);
    m_pShared->pTarget = nullptr;
}

QString CGifPicture::ResourcePath(int nId, const QString& strType)
{
    // The resources are fixed when the program is built: walk them once, not at every load.
    static const QHash<QString, QString> index = [] {
        QHash<QString, QString> names;
        QDirIterator it(QStringLiteral(":/"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QString key = it.fileName().toLower();
            if (!names.contains(key)) // the first of equal names wins
                names.insert(key, it.filePath());
        }
        return names;
    }();
    return index.value((QString::number(nId) + u'.' + strType).toLower());
}

bool CGifPicture::LoadFromResource(int nId, const QString& strType)
{
    const QString strPath = ResourcePath(nId, strType);
    if (strPath.isEmpty()) {
        Unload();
        return false;
    }
    return LoadFromFile(strPath);
}

bool CGifPicture::LoadFromFile(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        Unload();
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        Unload();
        return false;
    }
    return LoadFromMemory(data);
}

bool CGifPicture::LoadFromMemory(const QByteArray& data)
{
    Unload();
    const GifBlocks::Layout layout = GifBlocks::Split(data);
    if (!layout.bIsGif) {
        // Not a GIF we split (other formats, or a GIF version we do not know): Qt's readers
        // get the whole thing as one picture.
        const QImage image = QImage::fromData(data);
        if (image.isNull())
            return false;
        m_still = image;
        Prepare(image.size());
        return true;
    }

    // A GIF without a logical screen has nothing to draw into.
    if (layout.nFrameCount == 0 || layout.screenSize.isEmpty())
        return false;
    if (layout.nFrameCount == 1) {
        m_still = QImage::fromData(data, "GIF");
        if (m_still.isNull())
            return false;
        m_bIsGif = true;
        Prepare(layout.screenSize);
        return true;
    }

    for (const GifBlocks::FrameBlock& block : layout.frames) {
        QImage decoded = QImage::fromData(block.gif, "GIF");
        if (decoded.isNull())
            continue; // an undecodable frame is dropped, the rest still play
        const QRect area(block.frameOffset, block.frameSize);
        // Qt hands back the whole logical screen with the frame in place; keep just the frame
        // so that drawing it leaves the rest of the picture alone.
        if (decoded.size() == layout.screenSize && decoded.size() != block.frameSize)
            decoded = decoded.copy(area);
        GifFrame frame;
        frame.picture = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        frame.frameSize = block.frameSize;
        frame.frameOffset = block.frameOffset;
        frame.nDelay = block.nDelay;
        frame.nDisposal = block.nDisposal;
        m_frames.append(frame);
    }
    if (m_frames.isEmpty())
        return false;
    m_bIsGif = true;
    m_pShared->frames = m_frames;
    Prepare(layout.screenSize);
    return true;
}

void CGifPicture::Prepare(const QSize& size)
{
    m_size = size;
    resize(size);
    const QColor crMenu = QApplication::palette("QMenu").color(QPalette::Window);
    {
        QMutexLocker locker(&m_pShared->lock);
        m_pShared->canvas = QImage(size, QImage::Format_RGB32);
        m_pShared->canvas.fill(crMenu);
        m_pShared->background = palette().color(QPalette::Button);
    }
    m_bReady = true;
    update();
}

bool CGifPicture::Start()
{
    if (!m_bReady)
        return false;
    if (IsAnimated()) {
        if (!m_thread.joinable())
            m_thread = std::thread(&CGifPicture::Animate, m_pShared);
        return false;
    }
    if (m_still.isNull())
        return false;
    {
        QMutexLocker locker(&m_pShared->lock);
        QPainter painter(&m_pShared->canvas);
        painter.drawImage(QRect(QPoint(0, 0), m_size), m_still);
    }
    m_bStillShown = true;
    update();
    return true;
}

void CGifPicture::Animate(std::shared_ptr<Shared> pShared)
{
    Shared& s = *pShared;
    QImage saved; // what a frame with disposal 3 covered
    qsizetype i = 0;
    while (!s.ExitRequested()) {
        const GifFrame& frame = s.frames.at(i);
        const QRect area(frame.frameOffset, frame.frameSize);
        QImage snapshot;
        {
            QMutexLocker locker(&s.lock);
            if (frame.nDisposal == 3)
                saved = s.canvas.copy(area);
            QPainter painter(&s.canvas);
            painter.setClipRect(area);
            painter.drawImage(area.topLeft(), frame.picture);
            if (s.hook)
                snapshot = s.canvas;
        }
        s.Invalidate();
        if (s.hook)
            s.hook(int(i), snapshot);

        if (s.ExitRequested())
            break;
        s.Wait(GifBlocks::FrameWaitMs(frame.nDelay));
        if (s.ExitRequested())
            break;

        {
            QMutexLocker locker(&s.lock);
            if (frame.nDisposal == 2) {
                QPainter(&s.canvas).fillRect(area, s.background);
            } else if (frame.nDisposal == 3 && !saved.isNull()) {
                QPainter(&s.canvas).drawImage(area.topLeft(), saved);
            }
            if (++i == s.frames.size()) {
                i = 0;
                s.canvas.fill(s.background);
            }
        }
    }
    std::lock_guard guard(s.exitMutex);
    s.bFinished = true;
    s.exitEvent.notify_all();
}

void CGifPicture::Stop()
{
    if (m_thread.joinable()) {
        Shared& s = *m_pShared;
        std::unique_lock guard(s.exitMutex);
        s.bExit = true;
        s.exitEvent.notify_all();
        const bool bEnded =
            s.exitEvent.wait_for(guard, m_giveUp, [&s] { return s.bFinished; });
        guard.unlock();
        if (bEnded) {
            m_thread.join();
            s.bExit = false;
            s.bFinished = false;
        } else {
            m_thread.detach();
            Abandon();
        }
    }
}

// The thread did not end in time. It keeps its own shared state (and finishes with it
// whenever it wakes); the control carries on with a copy that no thread touches.
void CGifPicture::Abandon()
{
    auto pFresh = std::make_shared<Shared>();
    {
        QMutexLocker locker(&m_pShared->lock);
        pFresh->canvas = m_pShared->canvas.copy();
        pFresh->background = m_pShared->background;
    }
    pFresh->frames = m_pShared->frames;
    pFresh->hook = m_pShared->hook;
    pFresh->pTarget = this;
    {
        QMutexLocker locker(&m_pShared->targetLock);
        m_pShared->pTarget = nullptr;
    }
    m_pShared = pFresh;
}

void CGifPicture::Unload()
{
    Stop();
    m_still = QImage();
    m_frames.clear();
    {
        QMutexLocker locker(&m_pShared->lock);
        m_pShared->frames.clear();
        m_pShared->canvas = QImage();
        m_pShared->background = Qt::white;
    }
    m_size = QSize();
    m_bIsGif = false;
    m_bReady = false;
    m_bStillShown = false;
    update();
}

void CGifPicture::SetBackground(const QColor& crBackground)
{
    if (!m_bReady)
        return;
    {
        QMutexLocker locker(&m_pShared->lock);
        m_pShared->background = crBackground;
        m_pShared->canvas.fill(crBackground);
        // A still picture is drawn only once; put it back over the new colour rather than
        // leave the control blank.
        if (m_bStillShown) {
            QPainter painter(&m_pShared->canvas);
            painter.drawImage(QRect(QPoint(0, 0), m_size), m_still);
        }
    }
    update();
}

QColor CGifPicture::GetBackground() const
{
    QMutexLocker locker(&m_pShared->lock);
    return m_pShared->background;
}

QImage CGifPicture::GetCanvas() const
{
    QMutexLocker locker(&m_pShared->lock);
    return m_pShared->canvas.copy();
}

void CGifPicture::SetFrameHook(FrameHook hook)
{
    // The running thread reads the hook without a lock; change it only between runs.
    if (!m_thread.joinable())
        m_pShared->hook = std::move(hook);
}

void CGifPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QMutexLocker locker(&m_pShared->lock);
    if (!m_pShared->canvas.isNull())
        painter.drawImage(0, 0, m_pShared->canvas);
}
