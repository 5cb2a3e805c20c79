#pragma once

#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <QWidget>

/// The program's tooltip: a rounded box with a tail at its lower right, holding an optional
/// icon and a text, shown just above and left of the pointer and hidden as soon as the pointer
/// moves. The owner either asks for a tip with ShowAt, or registers controls with AddTool so
/// that their tip shows when the pointer rests on them.
///
/// The owner passes the mouse events it receives to RelayEvent before handling them (or
/// installs the tip as an event filter); registered controls are watched automatically.
class CBalloonTip : public QWidget
{
    Q_OBJECT

public:
    /// Creates the tip hidden, as a pop-up owned by \a pOwner.
    explicit CBalloonTip(QWidget* pOwner = nullptr);

    /// Icon drawn left of the text of every tip; a null icon removes it. A standard icon
    /// counts as 32 x 32.
    void SetIcon(const QIcon& icon);
    /// Shows \a strText whenever the pointer comes to rest on \a pControl, with \a icon when
    /// one is given and with the tip's own icon otherwise. A second registration of the same
    /// control replaces the first.
    void AddTool(QWidget* pControl, const QString& strText, const QIcon& icon = QIcon());
    /// Shows \a strText ("\n" starts a new line) at the pointer's position. A text too wide or
    /// too high for the screen shows cut in its middle, its first and last parts kept.
    void ShowAt(const QString& strText);
    /// Shows \a strText with the tail pointing at \a ptScreen.
    void ShowAt(const QString& strText, const QPoint& ptScreen);
    /// Lets the tip see the owner's pointer moves and clicks.
    void RelayEvent(QEvent* pEvent);

    /// Size of the box without its tail, for the current text, icon and font.
    QSize GetBoxSize() const;
    /// Where the text starts inside the window.
    QPoint GetTextOrigin() const;
    /// The text on show, as cut to fit the screen.
    QString GetText() const { return m_strText; }
    QPoint GetShowPoint() const { return m_ptShow; }

    static constexpr int kShowDelayMs = 30;
    static constexpr int kCheckPeriodMs = 800;
    /// Height the tail adds below the box.
    static constexpr int kTailHeight = 25;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;

private:
    struct Tool
    {
        QString strText;
        QIcon icon;
    };

    void Show(const QString& strText, const QPoint& ptScreen, const QIcon& toolIcon);
    /// \a strText cut to what fits the screen at m_ptShow: long lines in their middle, too many
    /// lines between the first and the last ones.
    QString FitToScreen(const QString& strText) const;
    const QIcon& ShownIcon() const { return m_toolIcon.isNull() ? m_icon : m_toolIcon; }
    void MeasureIcon();
    void OnShowTimer();
    void OnCheckTimer();
    void Hide();
    QRegion GetShape(const QSize& box) const;

    int m_nShowDelay = kShowDelayMs;
    QPoint m_ptShow;
    QString m_strText;
    QIcon m_icon;     ///< the tip's own, from SetIcon
    QIcon m_toolIcon; ///< a registered control's own, while its tip is up
    int m_cxIcon = 0; ///< size of the icon on show, 0 without one
    int m_cyIcon = 0;
    QHash<QWidget*, Tool> m_tools;
    QTimer m_showTimer;
    QTimer m_checkTimer;
};
