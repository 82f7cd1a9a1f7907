// The program's widget style: the platform's own, with one look for every button row.
// Under some desktops message boxes and file dialogs put icons on their buttons while our
// dialogs have none; here none do.
#pragma once

#include <QProxyStyle>

namespace qf {

class CAppStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Takes ownership of `base`; null: the application's default style.
    explicit CAppStyle(QStyle* base = nullptr);

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace qf
