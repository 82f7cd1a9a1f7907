#include "app/CHelpWindow.h"

#include <QAction>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace qf {

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Thermo-Anemometer Help"));
    m_browser = new QTextBrowser(this);
    // Links to the web leave the program; the help's own anchors stay inside.
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 640);
    // A window of its own, closed as other viewers are.
    auto* closeAction = new QAction(this);
    closeAction->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    closeAction->setShortcutContext(Qt::WindowShortcut);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
}

void CHelpWindow::ShowFile(const QString& path) {
    m_browser->setSource(QUrl::fromLocalFile(path));
    m_browser->home();
}

}  // namespace qf
