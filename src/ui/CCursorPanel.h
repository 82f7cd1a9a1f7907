// The read-out of two cursors over a graph: A's and B's time and Δt, then for each shown
// channel A, B and B − A. Shown only while cursor B is set.
#pragma once

#include <QLabel>

#include "analysis/CursorPair.h"

namespace qf {

class CCursorPanel : public QLabel {
    Q_OBJECT
public:
    explicit CCursorPanel(QWidget* parent);

    // Fills and sizes the panel to its text, its top-left corner at `at`.
    void ShowTexts(const CursorPairTexts& texts, QPoint at);
};

}  // namespace qf
