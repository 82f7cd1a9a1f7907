// "COM Port Setup": a port number for the Other COM command. The dialog checks only that
// the text is an unsigned number; the caller decides what range it accepts.
#pragma once

#include <cstdint>

#include "app/CNumberDlg.h"

namespace qf {

class CComPortDlg : public CNumberDlg {
    Q_OBJECT
public:
    explicit CComPortDlg(IUserPrompts& prompts, QWidget* parent = nullptr);

    std::uint32_t Port() const { return m_nPort; }
    void SetPort(std::uint32_t port);

protected:
    bool TakeText(const QString& text) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::uint32_t m_nPort = 5;
};

}  // namespace qf
