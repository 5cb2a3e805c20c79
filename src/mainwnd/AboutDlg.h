#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QRect>

class CGifPicture;

/// The about box: a frameless picture with the program's name and an animated strip along
/// its bottom. It is moved by dragging it anywhere and closed by a double click (or Esc).
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 481;
    static constexpr int kHeight = 315;
    /// Where the animated strip plays, in the box's pixels.
    static constexpr QRect kStripRect{0, 212, 481, 103};

    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap m_background;
    CGifPicture* m_pStrip = nullptr;
    bool m_bDragging = false;
    QPoint m_ptGrab; ///< where the pointer holds the box, relative to its top-left corner
};
