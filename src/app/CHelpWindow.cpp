#include "app/CHelpWindow.h"

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
}

void CHelpWindow::ShowFile(const QString& path) {
    m_browser->setSource(QUrl::fromLocalFile(path));
    m_browser->home();
}

}  // namespace qf
