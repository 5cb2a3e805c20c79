#pragma once

#include <QImage>
#include <future>

/// The main window's pictures: the background, the ten week digits and the logo in its two
/// states. Decoding them is a good part of the start-up, so main() starts it on a worker
/// thread at once, and the window picks the result up when it is built.
struct PlannerArt
{
    QImage background;
    QImage digits[10];
    QImage logo;
    QImage logoHover;

    /// Starts decoding on a worker thread (safe before the application object exists).
    static void Preload();
    /// The pictures: those of Preload when it ran, else decoded now.
    static PlannerArt Take();
};
