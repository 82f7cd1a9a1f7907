// A small modal dialog with one number field and an OK button. OK converts the field;
// a text that is not a number of the required form brings up the dialog's message and
// keeps the dialog open with the focus on the field.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace qf {

class IUserPrompts;

class CNumberDlg : public QDialog {
    Q_OBJECT
public:
    QLineEdit* Edit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }

protected:
    CNumberDlg(IUserPrompts& prompts, const QString& badTextMessage, QWidget* parent);

    // Builds the field and the OK button; called once by the subclass constructor.
    void CreateField(QLineEdit* edit, QPushButton* ok);
    // Takes the field's text into the member; false when the text is refused.
    virtual bool TakeText(const QString& text) = 0;

    void OnOk();

    IUserPrompts& m_prompts;
    QString m_strBadText;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace qf
