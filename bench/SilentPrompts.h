// The benchmarks' prompts: nothing is ever asked while they measure.
#pragma once

#include "ui/IUserPrompts.h"

namespace qfbench {

class SilentPrompts : public qf::IUserPrompts {
public:
    bool AskYesNo(QWidget*, const QString&) override { return false; }
    void ShowMessage(QWidget*, const QString&) override {}
    std::optional<QString> AskSaveFile(QWidget*, const QString&, const QString&,
                                       const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> AskOpenFile(QWidget*, const QString&) override { return std::nullopt; }
    QStringList AskOpenFiles(QWidget*, const QString&) override { return {}; }
    bool RunDialog(QDialog&) override { return false; }
};

}  // namespace qfbench
