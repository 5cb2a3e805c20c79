#pragma once

#include <QDialog>

class QPushButton;

/// The main window: a fixed-size dialog that runs from start-up to exit.
class CPlannerDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 730;
    static constexpr int kHeight = 520;

    explicit CPlannerDlg(QWidget* parent = nullptr);

    /// Brings the window to the front, also out of the minimised state (a second copy of the
    /// program asks for this).
    void Activate();

signals:
    /// Emitted once, when the window has been painted for the first time.
    void FirstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPushButton* m_pExitButton = nullptr;
    bool m_bPainted = false;
};
