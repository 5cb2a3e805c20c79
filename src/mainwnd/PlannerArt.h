#pragma once

#include <QImage>
#include <future>

/// The main window's pictures: the background, the ten week digits and the logo in its two
/// states. Decoding them is a good part of the start-up, so main() starts it on a worker
/// thread at once (PlannerArtPreload), and the window picks the result up when it is built.
struct PlannerArt
{
    QImage background;
    QImage digits[10];
    QImage logo;
    QImage logoHover;

    /// The pictures: those of the living preload when there is one not yet taken, else decoded now.
    static PlannerArt Take();
};

/// Decodes the main window's pictures on a worker thread from its construction, which comes
/// after the application object's. main() keeps it while windows may be built and lets it go
/// before the application object: its end waits for the worker, so no decoding outlives Qt.
class PlannerArtPreload
{
public:
    PlannerArtPreload();
    ~PlannerArtPreload();
    PlannerArtPreload(const PlannerArtPreload&) = delete;
    PlannerArtPreload& operator=(const PlannerArtPreload&) = delete;

private:
    friend struct PlannerArt;
    std::future<PlannerArt> m_pending;
};
