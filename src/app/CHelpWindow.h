// The program's help window: the help text in a browser with back and forward. Escape and
// Ctrl+W close it.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace qf {

class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Shows the file from its start.
    void ShowFile(const QString& path);

    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser = nullptr;
};

}  // namespace qf
