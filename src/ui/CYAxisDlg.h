// "Y OFFSET And Y GAINS Setup": picks a Y offset and a Y gain by their list positions.
// Both lists start with nothing chosen at every run; -1 means nothing was chosen.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QPushButton;

namespace qf {

class CYAxisDlg : public QDialog {
    Q_OBJECT
public:
    explicit CYAxisDlg(QWidget* parent = nullptr);

    static const QStringList& OffsetTexts();
    static const QStringList& GainTexts();

    // Valid after OK.
    int OffsetPosition() const { return m_nOffsetPos; }
    int GainPosition() const { return m_nGainPos; }

    QComboBox* OffsetList() const { return m_offsetList; }
    QComboBox* GainList() const { return m_gainList; }
    QPushButton* OkButton() const { return m_ok; }

private:
    void OnOk();

    int m_nGainPos = -1;
    int m_nOffsetPos = -1;
    QComboBox* m_offsetList = nullptr;
    QComboBox* m_gainList = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace qf
