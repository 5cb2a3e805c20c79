#pragma once

#include <QDialog>
#include <QPixmap>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

/// "增加新程序": asks for one entry of the program list, a display name and the path that the
/// browse button fills. In change mode ("修改当前程序信息") it starts with the entry's values.
class CProgramEditDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 420;
    static constexpr int kHeight = 252;
    /// Longest display name, in bytes of the Chinese code page: ten Chinese characters.
    static constexpr int kMaxNameBytes = 20;

    /// \a bChange false: adding a new entry (name and path empty, "确定" waits for a browse).
    CProgramEditDlg(bool bChange, const QString& strName, const QString& strPath, QWidget* parent = nullptr);

    /// The name without surrounding blanks and the path, once the dialog ended with OK.
    QString GetName() const { return m_strName; }
    QString GetPath() const { return m_strPath; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnBrowse();
    void OnOK();
    void UpdateData(bool bSaveAndValidate);

    QString m_strName;
    QString m_strPath;
    bool m_bChange = false;

    QPixmap m_background;
    QLineEdit* m_pNameEdit = nullptr;
    QPlainTextEdit* m_pPathEdit = nullptr;
    QPushButton* m_pBrowseButton = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;
};
