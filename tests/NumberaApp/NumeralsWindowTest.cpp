// The numerals window and its variables panel: the panel chosen last comes back, the list and
// the shown panel agree, a new variable reaches the documents at once, bad names and values
// are refused with an alert, and removing and undoing move whole selections.
#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>

#include "DocumentWindowSupport.h"
#include "NBCurrenciesViewController.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBMenuController.h"
#include "NBStocksViewController.h"
#include "NBTextView.h"
#include "NBVariablesViewController.h"
#include "NCVariable.h"
#include "NumeralsTestSupport.h"

namespace {

QString nameOf(const std::shared_ptr<NCVariable>& variable) {
    return NBAppResources::toQString(variable->name().value_or(u""));
}

std::shared_ptr<NCVariable> variableNamed(NBVariablesViewController& panel, const QString& name) {
    for (const auto& variable : panel.variables())
        if (nameOf(variable) == name) return variable;
    return nullptr;
}

int rowOf(NBVariablesViewController& panel, const std::shared_ptr<NCVariable>& variable) {
    const auto& list = panel.variables();
    const auto found = std::find(list.begin(), list.end(), variable);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}

class NumeralsWindow : public NumeralsTest {};

TEST_F(NumeralsWindow, FreshSettingsShowTheVariablesPanelAndTheLastPanelComesBack) {
    LogRecorder log;
    NBNumeralsWindowController* window = openNumerals();
    EXPECT_TRUE(log.contains("Bug: No Numerals View Controller Selected"));
    EXPECT_EQ(window->activeViewController(), window->variablesViewController());
    QListWidget* list = window->categoriesTableView();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "Variables");
    EXPECT_EQ(list->item(1)->text(), "Stocks");
    EXPECT_EQ(list->item(2)->text(), "Currencies");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_FALSE(window->addButtonContainer()->isHidden());
    EXPECT_EQ(window->addButton()->toolTip(), "Add new variable");
    saveScreenshot(window, "numerals-variables-panel");

    // Choosing in the list and switching in code leave list and panel in agreement.
    list->setCurrentRow(2);
    EXPECT_EQ(window->activeViewController(), window->currenciesViewController());
    EXPECT_TRUE(window->addButtonContainer()->isHidden());
    EXPECT_EQ(settings().stringForKey("NBSelectedNumeralsPane"), u"NBCurrenciesPane");
    window->setActiveViewController(window->stocksViewController());
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(window->stocksViewController()->isActive());
    EXPECT_FALSE(window->currenciesViewController()->isActive());
    EXPECT_EQ(settings().stringForKey("NBSelectedNumeralsPane"), u"NBStocksPane");
    quit();

    LogRecorder second;
    window = openNumerals();
    EXPECT_EQ(window->activeViewController(), window->stocksViewController());
    EXPECT_FALSE(second.contains("Bug: No Numerals View Controller Selected"));
}

TEST_F(NumeralsWindow, AStoredPaneThatNoLongerExistsFallsBackToTheVariables) {
    settings().setObject("NBSelectedNumeralsPane", std::u16string(u"NBFormerPane"));
    LogRecorder log;
    NBNumeralsWindowController* window = openNumerals();
    EXPECT_EQ(window->activeViewController(), window->variablesViewController());
    EXPECT_TRUE(log.contains("Bug: No Numerals View Controller Selected"));
}

TEST_F(NumeralsWindow, TheCategoryListGivesWayBeforeThePanelSide) {
    NBNumeralsWindowController* window = openNumerals();
    window->resize(window->minimumWidth(), 400);
    pumpEventsFor(30);
    const QList<int> sizes = window->splitView()->sizes();
    EXPECT_GE(sizes[1], NBNumeralsWindowController::kPanelMinimumWidth);
    EXPECT_GE(sizes[0], NBNumeralsWindowController::kCategoryListMinimumWidth);
    window->resize(1000, 400);
    pumpEventsFor(30);
    // Widening goes to the panel side; the list keeps its width.
    EXPECT_EQ(window->splitView()->sizes()[0], sizes[0]);
}

TEST_F(NumeralsWindow, ANewVariableReachesAnOpenDocumentAtOnce) {
    NBNumeralsWindowController* numerals = openNumerals();
    NBDocumentWindow* document = app()->documents().newDocument();
    QTest::keyClicks(document->textView(), "100 * rate");
    ASSERT_TRUE(pumpEventsUntil([&] { return !answerTexts(document->document()).isEmpty(); }));
    EXPECT_NE(answerTexts(document->document()).value(0), "20");

    NBVariablesViewController* panel = numerals->variablesViewController();
    const size_t before = panel->variables().size();
    numerals->addButton()->click();
    ASSERT_EQ(panel->variables().size(), before + 1);
    // The new row is selected and its name open for editing.
    const QModelIndexList selected = panel->tableView()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    QLineEdit* editor = panel->tableView()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->selectedText(), editor->text());
    EXPECT_EQ(panel->tableView()->currentIndex().column(), NBVariablesViewController::NameColumn);
    EXPECT_EQ(numerals->undoStack()->undoText(), "Add Variable");
    QTest::keyClick(editor, Qt::Key_Escape);
    pumpEventsFor(20);

    const int row = selected.first().row();
    auto added = panel->variables()[static_cast<size_t>(row)];
    QAbstractItemModel* model = panel->tableView()->model();
    ASSERT_TRUE(model->setData(model->index(row, NBVariablesViewController::NameColumn), "rate"));
    ASSERT_TRUE(model->setData(
        model->index(rowOf(*panel, added), NBVariablesViewController::ValueColumn), "0.2"));
    EXPECT_EQ(nameOf(added), "rate");
    EXPECT_EQ(numerals->undoStack()->undoText(), "Set Variable Value");
    ASSERT_TRUE(pumpEventsUntil([&] { return answerTexts(document->document()).value(0) == "20"; }))
        << answerTexts(document->document()).join('|').toStdString();
    // The edited row stays selected where the sort put it.
    EXPECT_EQ(panel->tableView()->selectionModel()->selectedRows().value(0).row(),
              rowOf(*panel, added));

    // Undoing the value through the application's group brings the old answer back.
    app()->undoGroup().setActiveStack(numerals->undoStack());
    app()->undoGroup().undo();
    ASSERT_TRUE(pumpEventsUntil([&] {
        return answerTexts(document->document()).value(0) == "100";
    })) << answerTexts(document->document()).join('|').toStdString();
}

TEST_F(NumeralsWindow, ABadNameOrValueIsRefusedWithAnAlertAndChangesNothing) {
    NBNumeralsWindowController* numerals = openNumerals();
    NBVariablesViewController* panel = numerals->variablesViewController();
    auto variable = NCVariable::variableWithName(u"width", u"3", 0, nullptr);
    panel->addVariables({variable});
    panel->reloadContent();
    const int undoCount = numerals->undoStack()->count();
    expectModalDialog(true);

    struct Row {
        int column;
        const char* value;
        const char* alert;
    };
    const Row rows[] = {
        {NBVariablesViewController::NameColumn, "two words",
         "A variable cannot have more than one word."},
        {NBVariablesViewController::NameColumn, "", "A variable must have a name."},
        {NBVariablesViewController::ValueColumn, "1/0", "Invalid value"},
        {NBVariablesViewController::ValueColumn, "hello", "Invalid value"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        panel->tableViewSetObjectValue(QString::fromUtf8(row.value), row.column,
                                       rowOf(*panel, variable));
        QMessageBox* alert = panel->alert();
        ASSERT_NE(alert, nullptr);
        EXPECT_TRUE(alert->isVisible());
        EXPECT_EQ(alert->text(), QString::fromUtf8(row.alert));
        if (row.column == NBVariablesViewController::NameColumn)
            saveScreenshot(numerals, "numerals-variable-name-alert");
        alert->close();
        pumpEventsFor(20);
        EXPECT_EQ(nameOf(variable), "width");
        EXPECT_EQ(variable->displayValue(), u"3");
        EXPECT_EQ(numerals->undoStack()->count(), undoCount);
    }
    expectModalDialog(false);
}

TEST_F(NumeralsWindow, ANameThatIsAlsoAUnitIsLoggedAndAllowed) {
    NBNumeralsWindowController* numerals = openNumerals();
    NBVariablesViewController* panel = numerals->variablesViewController();
    auto variable = NCVariable::variableWithName(u"length", u"3", 0, nullptr);
    panel->addVariables({variable});
    panel->reloadContent();
    LogRecorder log;
    panel->tableViewSetObjectValue("metres", NBVariablesViewController::NameColumn,
                                   rowOf(*panel, variable));
    EXPECT_EQ(nameOf(variable), "metres");
    EXPECT_EQ(numerals->undoStack()->undoText(), "Rename Variable");
    EXPECT_TRUE(log.contains("Clash with metre")) << "no clash logged";
}

TEST_F(NumeralsWindow, RemovingSelectedRowsAndTheClickedRowUndoesAsOne) {
    NBNumeralsWindowController* numerals = openNumerals();
    NBVariablesViewController* panel = numerals->variablesViewController();
    for (const char16_t* name : {u"alpha", u"beta", u"gamma", u"delta"})
        panel->addVariables({NCVariable::variableWithName(name, u"1", 0, nullptr)});
    panel->reloadContent();
    const size_t before = panel->variables().size();
    QItemSelectionModel* selection = panel->tableView()->selectionModel();
    const auto select = [&](const char* name) {
        const int row = rowOf(*panel, variableNamed(*panel, name));
        selection->select(panel->tableView()->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    select("alpha");
    select("gamma");
    // A context click on an unselected row adds it to the selection's removal.
    panel->setClickedRowForTesting(rowOf(*panel, variableNamed(*panel, "delta")));
    EXPECT_TRUE(numerals->validateDelete());
    numerals->deleteSelection();
    panel->setClickedRowForTesting(-1);
    EXPECT_EQ(panel->variables().size(), before - 3);
    EXPECT_EQ(numerals->undoStack()->undoText(), "Remove Variables");
    for (const char* name : {"alpha", "gamma", "delta"})
        EXPECT_EQ(variableNamed(*panel, name), nullptr) << name;
    EXPECT_NE(variableNamed(*panel, "beta"), nullptr);

    // Edit > Undo in the active numerals window undoes through the application's group.
    numerals->activateWindow();
    ASSERT_TRUE(pumpEventsUntil([&] { return QApplication::activeWindow() == numerals; }, 3000));
    EXPECT_EQ(app()->undoGroup().activeStack(), numerals->undoStack());
    app()->menuController().action("undo:")->trigger();
    EXPECT_EQ(panel->variables().size(), before);
    for (const char* name : {"alpha", "gamma", "delta"})
        EXPECT_NE(variableNamed(*panel, name), nullptr) << name;
    EXPECT_NE(variables()->variableNamed(u"gamma"), nullptr);

    // Nothing selected, nothing clicked: nothing to remove.
    selection->clearSelection();
    EXPECT_FALSE(numerals->validateDelete());
}

}  // namespace
