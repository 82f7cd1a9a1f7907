// The prompts on the screen: file dialogs that start where the user last was and always
// name the data file with its extension, and button rows without icons.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "app/AppStyle.h"
#include "app/AppTestSupport.h"
#include "app/CQtUserPrompts.h"
#include "store/ConfigFile.h"

using namespace qf;
using namespace qftest;

namespace {

namespace fs = std::filesystem;

// HOME and XDG_CONFIG_HOME inside a temporary folder for one test.
struct Home {
    TempDir dir;
    std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    std::string home = dir.file("home");

    Home() {
        App();
        fs::create_directory(home);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.file("cfg").c_str(), 1);
    }
    ~Home() {
        setenv("HOME", savedHome.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    std::string Config() const { return dir.file("QF7720config.ini"); }
};

// Answers the modal windows as they come up, one step each, until the steps run out.
class ModalDriver : public QObject {
public:
    using Step = std::function<void(QWidget*)>;
    explicit ModalDriver(std::vector<Step> steps) : m_steps(std::move(steps)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == m_last) {
                return;
            }
            m_last = modal;
            if (m_next >= m_steps.size()) {
                // One window more than expected: cancelled, so the test fails, not hangs.
                if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                    dialog->reject();
                }
                return;
            }
            m_steps[m_next++](modal);
        });
        m_timer.start(20);
    }
    std::size_t Done() const { return m_next; }

private:
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    QWidget* m_last = nullptr;
    QTimer m_timer;
};

ModalDriver::Step SaveAs(const QString& name, QString* folderShown = nullptr) {
    return [name, folderShown](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        if (folderShown != nullptr) {
            *folderShown = dialog->directory().absolutePath();
        }
        // Typed, as selectFile leaves a focused name field alone.
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(field, nullptr);
        field->setText(name);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog checks the name first
    };
}

ModalDriver::Step Answer(QMessageBox::StandardButton button, QString* text) {
    return [button, text](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        *text = box->text();
        box->button(button)->click();
    };
}

}  // namespace

TEST(ScreenPrompts, dialogsStartInTheFolderLastUsedElseInTheDocuments) {
    Home h;
    WriteAll(h.Config(), "[PortMap]\nCOM1=/dev/ttyACM0\n[COMInfo]\nCOM num=2\n");
    const QString home = QString::fromStdString(h.home);
    EXPECT_EQ(CQtUserPrompts(h.Config()).StartFolder(), home);
    fs::create_directory(h.home + "/Documents");
    EXPECT_EQ(CQtUserPrompts(h.Config()).StartFolder(), home + "/Documents");

    const std::string data = h.dir.file("data");
    fs::create_directory(data);
    CQtUserPrompts(h.Config()).RememberFolder(QString::fromStdString(data + "/run.AsmDat"));
    // Remembered across runs, in a section of its own beside the others.
    EXPECT_EQ(CQtUserPrompts(h.Config()).StartFolder(), QString::fromStdString(data));
    const CConfigFile config(h.Config());
    EXPECT_EQ(config.ReadText("PortMap", "COM1", ""), "/dev/ttyACM0");
    EXPECT_EQ(config.ReadInt("COMInfo", "COM num", 0), 2);
    EXPECT_EQ(config.ReadText("Folders", "Last folder", ""), data);

    fs::remove(data);
    EXPECT_EQ(CQtUserPrompts(h.Config()).StartFolder(), home + "/Documents");
}

// The extension is added to the name as chosen, and the overwrite question is asked about
// the file that would really be replaced.
TEST(ScreenPrompts, saveDialogAddsTheExtensionAndAsksAboutTheRealName) {
    Home h;
    const std::string data = h.dir.file("data");
    fs::create_directory(data);
    WriteAll(data + "/run.AsmDat", "old");
    CQtUserPrompts prompts(h.Config());
    prompts.RememberFolder(QString::fromStdString(data + "/x"));
    const QString folder = QString::fromStdString(data);

    QString shown;
    QString question;
    {
        ModalDriver driver({SaveAs("run", &shown), Answer(QMessageBox::No, &question),
                            SaveAs("26-12-08 09.11.25")});
        const auto path =
            prompts.AskSaveFile(nullptr, "proposed", "DataLogger Files (*.AsmDat)", "AsmDat");
        EXPECT_EQ(driver.Done(), 3u);
        EXPECT_EQ(shown, folder);
        EXPECT_TRUE(question.contains("run.AsmDat")) << question.toStdString();
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(*path, folder + "/26-12-08 09.11.25.AsmDat");
        EXPECT_EQ(ReadAll(data + "/run.AsmDat"), "old");
    }
    {
        WriteAll(data + "/RUN.asmdat", "old");
        ModalDriver driver({SaveAs("RUN.asmdat"), Answer(QMessageBox::Yes, &question)});
        const auto path = prompts.AskSaveFile(nullptr, "proposed", "All Files (*)", "AsmDat");
        EXPECT_EQ(driver.Done(), 2u);
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(*path, folder + "/RUN.asmdat");
    }
}

// Under desktops whose style puts icons on dialog buttons, the program's style does not,
// so message boxes and file dialogs look like the program's own dialogs.
TEST(ScreenPrompts, buttonRowsCarryNoIcons) {
    App();
    struct IconStyle : QProxyStyle {
        IconStyle() : QProxyStyle(QStringLiteral("Fusion")) {}
        int styleHint(StyleHint hint, const QStyleOption* o, const QWidget* w,
                      QStyleHintReturn* r) const override {
            return hint == SH_DialogButtonBox_ButtonsHaveIcons
                       ? 1
                       : QProxyStyle::styleHint(hint, o, w, r);
        }
    };
    IconStyle icons;
    CAppStyle ours(new IconStyle);
    QDialogButtonBox withIcons;
    withIcons.setStyle(&icons);
    QDialogButtonBox without;
    without.setStyle(&ours);
    for (const auto button : {QDialogButtonBox::Ok, QDialogButtonBox::Yes, QDialogButtonBox::No}) {
        EXPECT_FALSE(withIcons.addButton(button)->icon().isNull()) << "the base style's icons";
        EXPECT_TRUE(without.addButton(button)->icon().isNull());
    }
}
