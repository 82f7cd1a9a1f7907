// The number fields' rules and the three small dialogs: value transfer, the messages on
// bad text, and which keys end which dialog.
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/AppTestSupport.h"
#include "app/AppTexts.h"
#include "app/CAboutDlg.h"
#include "app/CComPortDlg.h"
#include "app/CSampleRateDlg.h"
#include "store/IntegerText.h"
#include "ui/CYAxisDlg.h"

using namespace qf;
using namespace qftest;

namespace {

struct FieldCase {
    const char* text;
    std::optional<std::int64_t> asSigned;
    std::optional<std::int64_t> asUnsigned;
};

const FieldCase FIELD_CASES[] = {
    {"5", 5, 5},
    {" \t12\t ", 12, 12},
    {"0", 0, 0},
    {"000", 0, 0},
    {"-4", -4, std::nullopt},
    {"+7", 7, 7},
    {"-0", std::nullopt, std::nullopt},
    {"+0", std::nullopt, std::nullopt},
    {"2.5", std::nullopt, std::nullopt},
    {"12x", std::nullopt, std::nullopt},
    {"", std::nullopt, std::nullopt},
    {"   ", std::nullopt, std::nullopt},
    {"-", std::nullopt, std::nullopt},
    {"1 2", std::nullopt, std::nullopt},
    {"2147483647", 2147483647, 2147483647},
    {"-2147483648", -2147483648LL, std::nullopt},
    {"2147483648", std::nullopt, 2147483648LL},
    {"4294967296", std::nullopt, std::nullopt},
    {"99999999999999999999999", std::nullopt, std::nullopt},
    // Only the first 31 characters count: what follows them is never seen.
    {"5                              x", 5, 5},
    {"5                             x", std::nullopt, std::nullopt},
};

}  // namespace

TEST(NumberField, acceptsExactlyTheDecimalIntegersOfEachKind) {
    for (const FieldCase& c : FIELD_CASES) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        const auto s = ParseSignedField(c.text);
        const auto u = ParseUnsignedField(c.text);
        ASSERT_EQ(s.has_value(), c.asSigned.has_value());
        ASSERT_EQ(u.has_value(), c.asUnsigned.has_value());
        if (s) {
            EXPECT_EQ(*s, *c.asSigned);
        }
        if (u) {
            EXPECT_EQ(*u, *c.asUnsigned);
        }
    }
}

TEST(SampleRateDialog, badTextShowsTheMessageAndKeepsTheDialogOpen) {
    App();
    ScriptedPrompts prompts;
    CSampleRateDlg dialog(prompts);
    dialog.show();
    EXPECT_EQ(dialog.Edit()->text(), "1");
    dialog.Edit()->setText("2.5");
    dialog.OkButton()->click();
    EXPECT_EQ(prompts.messages, QStringList{MSG_ENTER_INTEGER});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), dialog.Edit());
    for (const char* text : {"0", "-4"}) {
        CSampleRateDlg again(prompts);
        again.SetInterval(9);
        again.Edit()->setText(text);
        again.OkButton()->click();
        EXPECT_EQ(again.result(), QDialog::Accepted);
        EXPECT_EQ(again.Interval(), QString(text).toInt());
    }
}

TEST(SampleRateDialog, enterAndEscapeDoNotEndIt) {
    App();
    ScriptedPrompts prompts;
    CSampleRateDlg dialog(prompts);
    dialog.show();
    for (QWidget* target :
         {static_cast<QWidget*>(dialog.Edit()), static_cast<QWidget*>(dialog.OkButton())}) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
            EXPECT_TRUE(dialog.isVisible()) << "key " << key;
        }
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(ComPortDialog, refusesASignAndAcceptsAnyUnsignedNumber) {
    App();
    ScriptedPrompts prompts;
    CComPortDlg dialog(prompts);
    EXPECT_EQ(dialog.Edit()->text(), "5");
    dialog.Edit()->setText("-3");
    dialog.OkButton()->click();
    EXPECT_EQ(prompts.messages, QStringList{MSG_ENTER_POSITIVE_INTEGER});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.Edit()->setText("3");
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Port(), 3u);
}

TEST(ComPortDialog, enterIsOkAndEscapeCancels) {
    App();
    ScriptedPrompts prompts;
    CComPortDlg enter(prompts);
    enter.show();
    enter.Edit()->setText("12");
    QTest::keyClick(enter.Edit(), Qt::Key_Return);
    EXPECT_EQ(enter.result(), QDialog::Accepted);
    EXPECT_EQ(enter.Port(), 12u);
    EXPECT_FALSE(enter.OkButton()->isDefault());

    CComPortDlg escape(prompts);
    escape.show();
    QTest::keyClick(escape.Edit(), Qt::Key_Escape);
    EXPECT_EQ(escape.result(), QDialog::Rejected);
    EXPECT_FALSE(escape.isVisible());
}

TEST(YAxisDialog, everyRunStartsWithNothingChosen) {
    App();
    for (int run = 0; run < 2; ++run) {
        CYAxisDlg dialog;
        EXPECT_EQ(dialog.OffsetList()->currentIndex(), -1);
        EXPECT_EQ(dialog.GainList()->currentIndex(), -1);
        EXPECT_EQ(dialog.OffsetList()->count(), 5);
        EXPECT_EQ(dialog.GainList()->count(), 12);
        dialog.GainList()->setCurrentIndex(3);
        dialog.OkButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.GainPosition(), 3);
        EXPECT_EQ(dialog.OffsetPosition(), -1);
    }
    CYAxisDlg escape;
    escape.show();
    QTest::keyClick(escape.GainList(), Qt::Key_Escape);
    EXPECT_EQ(escape.result(), QDialog::Rejected);
}

// Our faces are wider than the ones the layouts were drawn for: every text of every dialog
// shows whole, no two controls overlap, all stay inside the dialog, and a row's labels
// stand level with its field.
TEST(Dialogs, everyTextShowsWholeAndNothingOverlaps) {
    App();
    ScriptedPrompts prompts;
    std::vector<std::unique_ptr<QDialog>> dialogs;
    dialogs.push_back(std::make_unique<CSampleRateDlg>(prompts));
    dialogs.push_back(std::make_unique<CComPortDlg>(prompts));
    dialogs.push_back(std::make_unique<CAboutDlg>());
    dialogs.push_back(std::make_unique<CYAxisDlg>());
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        dialog->show();
        const QRect inside = dialog->rect();
        std::vector<QWidget*> controls;
        for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QFontMetrics fm(w->font());
            QString text;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                text = label->text();
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                text = button->text();
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                EXPECT_GE(w->width(), fm.horizontalAdvance(group->title()) + 8);
                EXPECT_TRUE(inside.contains(w->geometry())) << group->title().toStdString();
                continue;
            }
            SCOPED_TRACE(text.toStdString());
            EXPECT_TRUE(inside.contains(w->geometry()));
            if (!text.isEmpty()) {
                EXPECT_GE(w->width(), fm.horizontalAdvance(text));
                EXPECT_GE(w->height(), fm.height());
            }
            controls.push_back(w);
        }
        for (std::size_t i = 0; i < controls.size(); ++i) {
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << controls[i]->metaObject()->className() << " / "
                    << controls[j]->metaObject()->className();
            }
        }
        if (auto* number = dynamic_cast<CNumberDlg*>(dialog.get())) {
            const int middle = number->Edit()->geometry().center().y();
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                EXPECT_LE(std::abs(label->geometry().center().y() - middle), 1)
                    << label->text().toStdString();
            }
        }
    }
}
