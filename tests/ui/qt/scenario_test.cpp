// The scenario table against the Qt window, offscreen, driven through its
// widgets as found by their object names.
#include "layout/texts.h"
#include "scenarios.h"
#include "ui/qt/qorgenerator.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace qor::test
{
namespace
{

class QtDriver final : public scenario::Driver
{
  public:
    QtDriver()
    {
        window_.setMessagePresenter(
            [this](const QString &text, MessageKind) { messages.push_back(text.toStdString()); });
        window_.setQuestionPresenter([this](const Question &q) { return nextAnswer(q); });
        window_.setFolderChooser([this](const QString &, const QStringList &) { return chosen_; });
        window_.show();
        window_.activateWindow(); // an X server without a window manager activates nothing
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    void open(bool startValues) override { window_.openWorkingFolder(startValues); }
    void click(ControlId box) override { QTest::mouseClick(get<QCheckBox>(layout::controlName(box)), Qt::LeftButton); }
    void type(ControlId id, const std::string &text) override
    {
        QLineEdit *box = get<QLineEdit>(layout::controlName(id));
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::fromStdString(text));
    }
    void press() override { QTest::mouseClick(get<QPushButton>("cmd"), Qt::LeftButton); }
    void chooseFolder(const std::string &folder) override
    {
        chosen_ = QFile::decodeName(QByteArray::fromStdString(folder));
        QTest::mouseClick(get<QPushButton>("folderButton"), Qt::LeftButton);
    }
    std::string status() override { return window_.statusText().toStdString(); }
    std::string focus() override
    {
        const QWidget *w = QApplication::focusWidget();
        return w ? w->objectName().toStdString() : "<none>";
    }

  private:
    template <class T> T *get(const std::string &name)
    {
        T *w = window_.findChild<T *>(QString::fromStdString(name));
        if (!w)
            qFatal("no control %s", name.c_str());
        return w;
    }

    QorGenerator window_;
    QString chosen_;
};

TEST(Scenario, TheQtWindow)
{
    scenario::runAll([]() -> std::unique_ptr<scenario::Driver> { return std::make_unique<QtDriver>(); });
}

} // namespace
} // namespace qor::test

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
