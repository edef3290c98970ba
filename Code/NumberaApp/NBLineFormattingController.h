// Drives the formatting bar above the text: it shows how the selected lines display their
// answers (decimal places, thousands separator, scientific notation, display base,
// trigonometry mode, text alignment) and writes a change into every selected line, posting
// "NBLineFormattingOptionsDidChange" after each. A mixed selection shows each property's mixed
// value. The notation threshold and style defaults are applied to every line of the document
// once when they change, whatever is selected (the number signs come with the locale).
#ifndef NUMBERA_APP_NB_LINE_FORMATTING_CONTROLLER_H
#define NUMBERA_APP_NB_LINE_FORMATTING_CONTROLLER_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "NSIndexSet.h"

class NBDocumentController;
class NBExpandingStringView;
class NBFormattingBarView;
class NCLine;
class NCLineCollection;
class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QMessageBox;
class QPushButton;
class QToolButton;
class QWidget;

class NBLineFormattingController : public QObject {
    Q_OBJECT

  public:
    static constexpr double kFormattingBarHeight = 27.0;

    explicit NBLineFormattingController(QObject* parent = nullptr);
    ~NBLineFormattingController() override;

    // Builds the bar (a child of the parent given, hidden) and starts observing the defaults.
    void setup(QWidget* barParent);
    void endLife();
    double formattingBarHeight() const { return kFormattingBarHeight; }

    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setLineCollection(std::shared_ptr<NCLineCollection> lines);
    // Not owned.
    NBDocumentController* documentController() const { return m_documentController; }
    void setDocumentController(NBDocumentController* document) { m_documentController = document; }

    NSIndexSet selectedLineNumbers() const { return m_selectedLineNumbers; }
    // Indexes without a line are skipped with a warning; the bar then shows the new lines.
    void setSelectedLineNumbers(const NSIndexSet& lines);
    // Reads the bar's values from the represented lines again.
    void setNeedsRefresh();

    // The bar's properties. A change is written into every represented line unless it comes
    // from reading the lines (batch update).
    bool thousandsSeparator() const { return valueForKey("thousandsSeparator") != 0; }
    void setThousandsSeparator(bool on) { setValueForKey("thousandsSeparator", on ? 1 : 0); }
    int64_t decimalPlaces() const { return valueForKey("decimalPlaces"); }
    void setDecimalPlaces(int64_t places) { setValueForKey("decimalPlaces", places); }
    int32_t scientificNotationMode() const {
        return static_cast<int32_t>(valueForKey("scientificNotationMode"));
    }
    void setScientificNotationMode(int32_t mode) { setValueForKey("scientificNotationMode", mode); }
    // 0 decimal, 1 binary, 2 hexadecimal, -1 mixed.
    int64_t base() const { return valueForKey("base"); }
    void setBase(int64_t base) { setValueForKey("base", base); }
    int32_t trigonometryMode() const {
        return static_cast<int32_t>(valueForKey("trigonometryMode"));
    }
    void setTrigonometryMode(int32_t mode) { setValueForKey("trigonometryMode", mode); }
    int32_t textAlignment() const { return static_cast<int32_t>(valueForKey("textAlignment")); }
    void setTextAlignment(int32_t alignment) { setValueForKey("textAlignment", alignment); }
    int64_t valueForKey(const std::string& key) const;
    void setValueForKey(const std::string& key, int64_t value);
    bool batchUpdateMode() const { return m_batchUpdateMode; }

    // Menu actions: the item's tag.
    void setLinePrecision(int64_t tag) { setDecimalPlaces(tag); }
    void setLineBase(int64_t tag) { setBase(tag); }
    // 1 on, 0 off, -1 mixed: how the item of that tag shows for "base" or "decimalPlaces".
    int menuItemState(const std::string& key, int64_t tag) const;

    // The decimal-places field's text was committed.
    void decimalPlacesFieldDidEndEditing();
    QMessageBox* accuracyAlert() const;

    QString selectedLinesString() const { return m_selectedLinesString; }
    const std::vector<std::shared_ptr<NCLine>>& representedLines() const {
        return m_representedLines;
    }

    // The bar and its parts (null before setup).
    NBFormattingBarView* view() const;
    NBFormattingBarView* formattingBarView() const { return view(); }
    NBExpandingStringView* lineNumberView() const { return m_lineNumberView; }
    QPushButton* basePopupButton() const { return m_basePopupButton; }
    QLineEdit* dpField() const { return m_dpField; }
    QToolButton* dpPopupButton() const { return m_dpPopupButton; }
    QCheckBox* thousandsSeparatorButton() const { return m_thousandsSeparatorButton; }
    QComboBox* notationPopup() const { return m_notationPopup; }
    QComboBox* trigonometryPopup() const { return m_trigonometryPopup; }
    QComboBox* alignmentPopup() const { return m_alignmentPopup; }
    QAction* baseAction(int64_t tag) const;
    // The sections in their order: line number, base, notation, trigonometry.
    std::vector<QWidget*> sectionViews() const;

    void layoutView();
    // Hides every section that does not fit, from the right; the ellipsis shows then.
    void hideViewsIfNecessary();

  signals:
    // A user default changed every line's formatting: all answers and lines need redrawing.
    void globalFormattingDidChange();
    // Written into one line (also posted as "NBLineFormattingOptionsDidChange").
    void lineFormattingOptionsDidChange();
    // The selected lines' text takes the alignment (0 left, 1 right, 2 centre).
    void textAlignmentDidChange(int32_t alignment);

  private:
    void setupView(QWidget* barParent);
    QWidget* makeSection(const QString& name);
    void updateBindings();
    void refreshControls();
    void updateMenuStates();
    void setFormattingPropertyFromGlobalKey(const std::string& key);
    void observeGlobalKeys();

    std::map<std::string, int64_t> m_values;
    // After each section but the last, wherever the bar hides them.
    std::vector<double> m_dividerPositions;
    bool m_batchUpdateMode = false;
    QString m_selectedLinesString;
    NSIndexSet m_selectedLineNumbers;
    std::vector<std::shared_ptr<NCLine>> m_representedLines;
    std::shared_ptr<NCLineCollection> m_lineCollection;
    NBDocumentController* m_documentController = nullptr;
    std::vector<QMetaObject::Connection> m_settingsConnections;

    QPointer<NBFormattingBarView> m_view;
    NBExpandingStringView* m_lineNumberView = nullptr;
    NBExpandingStringView* m_errorTextView = nullptr;
    QWidget* m_lineNumberSection = nullptr;
    QWidget* m_baseContainerView = nullptr;
    QWidget* m_notationContainerView = nullptr;
    QWidget* m_trigContainerView = nullptr;
    QPushButton* m_basePopupButton = nullptr;
    QMenu* m_baseMenu = nullptr;
    QLineEdit* m_dpField = nullptr;
    QToolButton* m_dpPopupButton = nullptr;
    QMenu* m_dpMenu = nullptr;
    QCheckBox* m_thousandsSeparatorButton = nullptr;
    QComboBox* m_notationPopup = nullptr;
    QComboBox* m_trigonometryPopup = nullptr;
    QComboBox* m_alignmentPopup = nullptr;
    QPointer<QMessageBox> m_accuracyAlert;
};

#endif
