#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

/// Shows a picture: an animated GIF plays its frames, with their own delays and disposal
/// methods, on a worker thread; a GIF with one frame, or any other format Qt can read, is
/// shown still. The control sizes itself to the picture when one is loaded.
///
/// Usage: load, then Start(), then optionally SetBackground().
class CGifPicture : public QWidget
{
    Q_OBJECT

public:
    /// Called on the animation thread after frame \a nFrame has been drawn, with the picture
    /// as it then is. Lets a test watch the animation without a screen.
    using FrameHook = std::function<void(int nFrame, const QImage& canvas)>;

    explicit CGifPicture(QWidget* pParent = nullptr);
    ~CGifPicture() override;

    /// Loads the program's picture resource \a nId of type \a strType: the Qt resource file
    /// named "<nId>.<type in lower case>" (for example ":/art/art/167.gif").
    bool LoadFromResource(int nId, const QString& strType = QStringLiteral("GIF"));
    bool LoadFromFile(const QString& strPath);
    /// Replaces whatever was loaded. False, with the control left empty, when the data is no
    /// picture Qt can read or a GIF without a complete frame.
    bool LoadFromMemory(const QByteArray& data);

    /// Animated: starts the animation thread (false). Still: draws the picture (true).
    bool Start();
    /// Ends the animation thread; returns within the give-up time (five seconds) even if the
    /// thread hangs.
    void Stop();
    /// How long Stop waits for a hung thread (tests).
    void SetGiveUp(std::chrono::milliseconds giveUp) { m_giveUp = giveUp; }
    void Unload();

    /// Colour that shows through transparent pixels and fills the frames' disposed areas.
    void SetBackground(const QColor& crBackground);
    QColor GetBackground() const;
    QSize GetPictureSize() const { return m_size; }
    bool IsGif() const { return m_bIsGif; }
    /// A GIF with at least two frames.
    bool IsAnimated() const { return !m_frames.isEmpty(); }
    int GetFrameCount() const { return int(m_frames.size()); }
    /// The animation thread is running.
    bool IsPlaying() const { return m_thread.joinable(); }
    /// A copy of the off-screen picture that painting shows.
    QImage GetCanvas() const;
    void SetFrameHook(FrameHook hook);

    /// The resource path of picture \a nId of type \a strType, empty when there is none.
    static QString ResourcePath(int nId, const QString& strType);

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    struct GifFrame
    {
        QImage picture; ///< the frame's own rectangle, premultiplied
        QSize frameSize;
        QPoint frameOffset;
        std::uint32_t nDelay = 0;
        int nDisposal = 0;
    };
    struct Shared;

    static void Animate(std::shared_ptr<Shared> pShared);
    void Prepare(const QSize& size);
    void Abandon();

    QSize m_size;
    bool m_bIsGif = false;
    bool m_bReady = false;
    bool m_bStillShown = false;
    QImage m_still;
    QList<GifFrame> m_frames;
    std::shared_ptr<Shared> m_pShared;
    std::thread m_thread;
    std::chrono::milliseconds m_giveUp{5000};
};
