// Every text of a window is looked up when it is built; a text without a translation keeps
// its English; a button that shows only its image keeps its hidden text.
#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "NBInterfaceLocalizer.h"

namespace {

std::optional<QString> german(const QString& text) {
    static const std::map<QString, QString> table = {
        {"Window", "Fenster"}, {"Continue", "Weiter"},  {"Search", "Suchen"},     {"Box", "Kasten"},
        {"Tab", "Reiter"},     {"Tip", "Hinweis"},      {"File", "Ablage"},       {"New", "Neu"},
        {"Recent", "Zuletzt"}, {"Hidden", "Versteckt"}, {"Label", "Beschriftung"}};
    auto found = table.find(text);
    if (found == table.end()) return text;
    return found->second;
}

TEST(InterfaceLocalizer, EveryTextOfAWindowIsLookedUp) {
    QMainWindow window;
    window.setWindowTitle("Window");
    auto* central = new QWidget(&window);
    auto* layout = new QVBoxLayout(central);
    auto* button = new QPushButton("Continue", central);
    button->setToolTip("Tip");
    auto* imageOnly = new QToolButton(central);
    imageOnly->setText("Hidden");
    QPixmap pixmap(8, 8);
    pixmap.fill(Qt::red);
    imageOnly->setIcon(QIcon(pixmap));
    imageOnly->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto* markedImageOnly = new QPushButton("Hidden", central);
    NBInterfaceLocalizer::setImageOnly(markedImageOnly);
    auto* field = new QLineEdit(central);
    field->setPlaceholderText("Search");
    auto* box = new QGroupBox("Box", central);
    auto* label = new QLabel("Label", box);
    auto* untranslated = new QLabel("Untranslated", box);
    auto* tabs = new QTabWidget(central);
    tabs->addTab(new QWidget, "Tab");
    for (QWidget* widget :
         std::initializer_list<QWidget*>{button, imageOnly, markedImageOnly, field, box, tabs})
        layout->addWidget(widget);
    window.setCentralWidget(central);
    QMenu* file = window.menuBar()->addMenu("File");
    file->addAction("New");
    file->addSeparator();
    file->addMenu("Recent")->addAction("Window");

    NBInterfaceLocalizer::localizeWidget(&window, german);

    EXPECT_EQ(window.windowTitle(), "Fenster");
    EXPECT_EQ(button->text(), "Weiter");
    EXPECT_EQ(button->toolTip(), "Hinweis");
    EXPECT_EQ(imageOnly->text(), "Hidden");
    EXPECT_EQ(markedImageOnly->text(), "Hidden");
    EXPECT_EQ(field->placeholderText(), "Suchen");
    EXPECT_EQ(box->title(), "Kasten");
    EXPECT_EQ(label->text(), "Beschriftung");
    EXPECT_EQ(untranslated->text(), "Untranslated");
    EXPECT_EQ(tabs->tabText(0), "Reiter");
    EXPECT_EQ(file->title(), "Ablage");
    EXPECT_EQ(file->actions().at(0)->text(), "Neu");
    EXPECT_EQ(file->actions().at(2)->menu()->title(), "Zuletzt");
    EXPECT_EQ(file->actions().at(2)->menu()->actions().at(0)->text(), "Fenster");
}

TEST(InterfaceLocalizer, ALookupWithoutAnswerLeavesTheTextAlone) {
    QPushButton button("Continue");
    NBInterfaceLocalizer::localizeWidget(&button, [](const QString&) { return std::nullopt; });
    EXPECT_EQ(button.text(), "Continue");
}

}  // namespace
