// "Sample Rate Setup": the sampling interval in whole seconds, for the Run command. Enter
// and Escape do nothing here, so only OK or the close box end it.
#pragma once

#include <cstdint>

#include "app/CNumberDlg.h"

namespace qf {

class CSampleRateDlg : public CNumberDlg {
    Q_OBJECT
public:
    explicit CSampleRateDlg(IUserPrompts& prompts, QWidget* parent = nullptr);

    std::int32_t Interval() const { return m_nInterval; }
    void SetInterval(std::int32_t seconds);

protected:
    bool TakeText(const QString& text) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::int32_t m_nInterval = 1;
};

}  // namespace qf
