#include "NBLineFormattingController.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBExpandingStringView.h"
#include "NBFormattingBarView.h"
#include "NBLineFormattingRules.h"
#include "NBPrecisionNumberFormatter.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NSIndexSet+Additions.h"
#include "NSLocalizedString.h"
#include "NotificationCenter.h"
#include "QtSettings.h"
#include "Settings.h"

namespace {

using namespace NBLineFormattingRules;

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

constexpr int kSectionSpacing = 10;
constexpr int kControlSpacing = 6;

// The menu item of a property some selected lines have and others not.
QIcon mixedStateIcon() {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(2, 6, 10, 6);
    return QIcon(pixmap);
}

QString baseTitle(int64_t base) {
    switch (base) {
        case 0:
            return localized(u"Decimal");
        case 1:
            return localized(u"Binary");
        case 2:
            return localized(u"Hexadecimal");
        default:
            return QStringLiteral("\u2013");
    }
}

}  // namespace

NBLineFormattingController::NBLineFormattingController(QObject* parent) : QObject(parent) {
    for (const std::string& key : directlyTransferableKeys()) m_values[key] = 0;
    for (const std::string& key : customKeys()) m_values[key] = 0;
    m_values["decimalPlaces"] = 2;
    m_values["scientificNotationMode"] = 2;
    m_values["trigonometryMode"] = 1;
}

NBLineFormattingController::~NBLineFormattingController() { endLife(); }

NBFormattingBarView* NBLineFormattingController::view() const { return m_view; }

QMessageBox* NBLineFormattingController::accuracyAlert() const { return m_accuracyAlert; }

void NBLineFormattingController::endLife() {
    for (const QMetaObject::Connection& connection : m_settingsConnections)
        QObject::disconnect(connection);
    m_settingsConnections.clear();
}

void NBLineFormattingController::setup(QWidget* barParent) {
    setupView(barParent);
    observeGlobalKeys();
}

void NBLineFormattingController::observeGlobalKeys() {
    auto settings = std::dynamic_pointer_cast<QtSettings>(Settings::standard());
    if (!settings) return;
    for (const std::string& key : globalKeys())
        m_settingsConnections.push_back(
            settings->observe(QString::fromStdString(key), this,
                              [this, key] { setFormattingPropertyFromGlobalKey(key); }));
}

void NBLineFormattingController::setLineCollection(std::shared_ptr<NCLineCollection> lines) {
    if (lines == m_lineCollection) return;
    m_lineCollection = std::move(lines);
    const NSIndexSet selected = m_selectedLineNumbers;
    m_selectedLineNumbers = NSIndexSet();
    setSelectedLineNumbers(selected.empty() ? NSIndexSet(0) : selected);
}

// Selecting lines

void NBLineFormattingController::setSelectedLineNumbers(const NSIndexSet& lines) {
    if (m_selectedLineNumbers.containsIndexes(lines) &&
        m_selectedLineNumbers.count() == lines.count() && !m_representedLines.empty())
        return;
    m_selectedLineNumbers = lines;
    m_representedLines.clear();
    lines.enumerateIndexes([&](uint64_t index, bool&) {
        std::shared_ptr<NCLine> line =
            m_lineCollection ? m_lineCollection->lineAtIndex(index) : nullptr;
        if (line)
            m_representedLines.push_back(std::move(line));
        else
            Diagnostics::error("Warning, no line to add to the represented lines array");
    });
    setNeedsRefresh();
}

void NBLineFormattingController::setNeedsRefresh() {
    if (m_representedLines.empty()) {
        Diagnostics::errorf("Warning: %s [Line %d] No lines are being represented",
                            "-[NBLineFormattingController setNeedsRefresh]", __LINE__);
        return;
    }
    updateBindings();
}

void NBLineFormattingController::updateBindings() {
    m_batchUpdateMode = true;
    for (const std::string& key : directlyTransferableKeys())
        m_values[key] = valueOfLines(key, m_representedLines, m_values[key]);
    for (const std::string& key : customKeys())
        m_values[key] = valueOfLines(key, m_representedLines, m_values[key]);
    m_selectedLinesString =
        localized(u"Line: %@")
            .replace(QStringLiteral("%@"),
                     NBAppResources::toQString(NSIndexSetAdditions::rangeDescriptionWithOffset(
                         m_selectedLineNumbers, 1)));
    m_batchUpdateMode = false;
    refreshControls();
}

// Writing

int64_t NBLineFormattingController::valueForKey(const std::string& key) const {
    const auto found = m_values.find(key);
    return found == m_values.end() ? 0 : found->second;
}

void NBLineFormattingController::setValueForKey(const std::string& key, int64_t value) {
    m_values[key] = value;
    if (m_batchUpdateMode) return;
    const auto& direct = directlyTransferableKeys();
    const auto& custom = customKeys();
    const bool known = std::find(direct.begin(), direct.end(), key) != direct.end() ||
                       std::find(custom.begin(), custom.end(), key) != custom.end();
    if (!known) return;
    for (const std::shared_ptr<NCLine>& line : m_representedLines) {
        setValueOnLine(key, value, *line);
        NotificationCenter::defaultCenter().post(NBLineFormattingOptionsDidChange, this);
        emit lineFormattingOptionsDidChange();
    }
    if (key == "textAlignment" && !m_representedLines.empty())
        emit textAlignmentDidChange(static_cast<int32_t>(value));
    refreshControls();
}

void NBLineFormattingController::setFormattingPropertyFromGlobalKey(const std::string& key) {
    // Every line takes the new default once, whatever is selected.
    if (!m_lineCollection) return;
    const std::shared_ptr<Settings> settings = Settings::standard();
    const std::optional<SettingsValue> value =
        settings ? settings->objectForKey(key) : std::nullopt;
    if (!value || !applyGlobalDefault(key, *value, *m_lineCollection)) return;
    emit globalFormattingDidChange();
}

int NBLineFormattingController::menuItemState(const std::string& key, int64_t tag) const {
    return NBLineFormattingRules::menuItemState(key, tag, m_representedLines, valueForKey(key));
}

// The decimal-places field

void NBLineFormattingController::decimalPlacesFieldDidEndEditing() {
    if (!m_dpField) return;
    const DecimalPlacesCheck check =
        checkDecimalPlacesEntry(NBAppResources::toU16(m_dpField->text()), decimalPlaces());
    switch (check.entry) {
        case DecimalPlacesEntry::RestorePrevious:
            refreshControls();
            return;
        case DecimalPlacesEntry::Accepted:
            if (check.value != decimalPlaces()) setDecimalPlaces(check.value);
            refreshControls();
            return;
        case DecimalPlacesEntry::Clamped:
            break;
    }
    setDecimalPlaces(check.value);
    refreshControls();
    if (m_accuracyAlert) return;
    auto* alert = new QMessageBox(QMessageBox::Warning, QString(),
                                  localized(u"Numbera doesn't support that level of accuracy"),
                                  QMessageBox::Ok, m_dpField->window());
    alert->setObjectName(QStringLiteral("accuracyAlert"));
    alert->setInformativeText(localized(u"The maximum level of accuracy is 50 decimal places."));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    m_accuracyAlert = alert;
    alert->open();
}

// The bar

QWidget* NBLineFormattingController::makeSection(const QString& name) {
    auto* section = new QWidget(m_view);
    section->setObjectName(name);
    return section;
}

QAction* NBLineFormattingController::baseAction(int64_t tag) const {
    if (!m_baseMenu) return nullptr;
    for (QAction* action : m_baseMenu->actions())
        if (action->data().toLongLong() == tag) return action;
    return nullptr;
}

void NBLineFormattingController::setupView(QWidget* barParent) {
    m_view = new NBFormattingBarView(barParent);
    m_view->setFixedHeight(static_cast<int>(kFormattingBarHeight));
    m_view->hide();

    m_lineNumberSection = makeSection(QStringLiteral("lineNumberSection"));
    m_lineNumberView = new NBExpandingStringView(m_lineNumberSection);
    m_lineNumberView->setObjectName(QStringLiteral("lineNumberView"));
    m_errorTextView = new NBExpandingStringView(m_view);
    m_errorTextView->setObjectName(QStringLiteral("errorTextView"));
    m_selectedLinesString =
        localized(u"Line: %i").replace(QStringLiteral("%i"), QStringLiteral("1"));
    m_lineNumberView->setTitle(m_selectedLinesString);
    connect(m_lineNumberView, &NBExpandingStringView::changedSize, this,
            &NBLineFormattingController::layoutView);

    m_baseContainerView = makeSection(QStringLiteral("baseContainerView"));
    m_basePopupButton = new QPushButton(m_baseContainerView);
    m_basePopupButton->setObjectName(QStringLiteral("basePopupButton"));
    m_basePopupButton->setFocusPolicy(Qt::NoFocus);
    m_baseMenu = new QMenu(m_basePopupButton);
    for (int64_t tag = 0; tag <= 2; ++tag) {
        QAction* action = m_baseMenu->addAction(baseTitle(tag));
        action->setData(QVariant::fromValue<qlonglong>(tag));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, tag] { setLineBase(tag); });
    }
    m_basePopupButton->setMenu(m_baseMenu);
    connect(m_baseMenu, &QMenu::aboutToShow, this, &NBLineFormattingController::updateMenuStates);

    m_dpField = new QLineEdit(m_baseContainerView);
    m_dpField->setObjectName(QStringLiteral("dpField"));
    m_dpField->setFixedSize(48, 17);
    connect(m_dpField, &QLineEdit::editingFinished, this,
            &NBLineFormattingController::decimalPlacesFieldDidEndEditing);
    m_dpPopupButton = new QToolButton(m_baseContainerView);
    m_dpPopupButton->setObjectName(QStringLiteral("dpPopupButton"));
    m_dpPopupButton->setPopupMode(QToolButton::InstantPopup);
    m_dpPopupButton->setFocusPolicy(Qt::NoFocus);
    m_dpPopupButton->setArrowType(Qt::DownArrow);
    m_dpPopupButton->setFixedSize(16, 17);
    m_dpMenu = new QMenu(m_dpPopupButton);
    for (int64_t places : {0, 1, 2, 3, 4, 5, 6, 8, 10, 15, 20, 30, 50}) {
        QAction* action = m_dpMenu->addAction(QString::number(places));
        action->setData(QVariant::fromValue<qlonglong>(places));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, places] { setLinePrecision(places); });
    }
    m_dpPopupButton->setMenu(m_dpMenu);
    connect(m_dpMenu, &QMenu::aboutToShow, this, &NBLineFormattingController::updateMenuStates);
    m_thousandsSeparatorButton = new QCheckBox(localized(u"1,000"), m_baseContainerView);
    m_thousandsSeparatorButton->setObjectName(QStringLiteral("thousandsSeparatorButton"));
    m_thousandsSeparatorButton->setFocusPolicy(Qt::NoFocus);
    connect(m_thousandsSeparatorButton, &QCheckBox::clicked, this,
            [this](bool on) { setThousandsSeparator(on); });

    m_notationContainerView = makeSection(QStringLiteral("notationContainerView"));
    m_notationPopup = new QComboBox(m_notationContainerView);
    m_notationPopup->setObjectName(QStringLiteral("notationPopup"));
    m_notationPopup->setFocusPolicy(Qt::NoFocus);
    m_notationPopup->addItem(localized(u"Sci. Off"), 0);
    m_notationPopup->addItem(localized(u"Sci. Always"), 1);
    m_notationPopup->addItem(localized(u"Sci. Auto"), 2);
    connect(m_notationPopup, &QComboBox::activated, this, [this](int index) {
        setScientificNotationMode(m_notationPopup->itemData(index).toInt());
    });

    m_trigContainerView = makeSection(QStringLiteral("trigContainerView"));
    m_trigonometryPopup = new QComboBox(m_trigContainerView);
    m_trigonometryPopup->setObjectName(QStringLiteral("trigonometryPopup"));
    m_trigonometryPopup->setFocusPolicy(Qt::NoFocus);
    m_trigonometryPopup->addItem(localized(u"Degrees"), 1);
    m_trigonometryPopup->addItem(localized(u"Radians"), 2);
    connect(m_trigonometryPopup, &QComboBox::activated, this, [this](int index) {
        setTrigonometryMode(m_trigonometryPopup->itemData(index).toInt());
    });

    m_alignmentPopup = new QComboBox(m_trigContainerView);
    m_alignmentPopup->setObjectName(QStringLiteral("alignmentPopup"));
    m_alignmentPopup->setFocusPolicy(Qt::NoFocus);
    m_alignmentPopup->addItem(localized(u"Left"), 0);
    m_alignmentPopup->addItem(localized(u"Centre"), 2);
    m_alignmentPopup->addItem(localized(u"Right"), 1);
    connect(m_alignmentPopup, &QComboBox::activated, this,
            [this](int index) { setTextAlignment(m_alignmentPopup->itemData(index).toInt()); });

    connect(m_view, &NBFormattingBarView::changedSize, this,
            &NBLineFormattingController::hideViewsIfNecessary);
    refreshControls();
    layoutView();
}

std::vector<QWidget*> NBLineFormattingController::sectionViews() const {
    return {m_lineNumberSection, m_baseContainerView, m_notationContainerView, m_trigContainerView};
}

void NBLineFormattingController::refreshControls() {
    if (!m_view) return;
    m_lineNumberView->setTitle(m_selectedLinesString);
    m_basePopupButton->setText(baseTitle(base()));
    const QString places = NBPrecisionNumberFormatter().stringForObjectValue(
        QVariant::fromValue<qlonglong>(decimalPlaces()));
    m_dpField->setText(places.isEmpty() ? QString()
                                        : places + QStringLiteral(" ") + localized(u"dp"));
    m_thousandsSeparatorButton->setChecked(thousandsSeparator());
    m_notationPopup->setCurrentIndex(m_notationPopup->findData(scientificNotationMode()));
    m_trigonometryPopup->setCurrentIndex(m_trigonometryPopup->findData(trigonometryMode()));
    m_alignmentPopup->setCurrentIndex(m_alignmentPopup->findData(textAlignment()));
    updateMenuStates();
}

void NBLineFormattingController::updateMenuStates() {
    const auto show = [this](QMenu* menu, const std::string& key) {
        if (!menu) return;
        for (QAction* action : menu->actions()) {
            const int state = menuItemState(key, action->data().toLongLong());
            action->setChecked(state == 1);
            action->setIcon(state == -1 ? mixedStateIcon() : QIcon());
            action->setProperty("mixedState", state == -1);
        }
    };
    show(m_baseMenu, "base");
    show(m_dpMenu, "decimalPlaces");
}

void NBLineFormattingController::layoutView() {
    if (!m_view) return;
    m_lineNumberView->sizeToFit();
    m_lineNumberSection->resize(m_lineNumberView->size());
    m_errorTextView->hide();
    m_errorTextView->setTitle(localized(u"Multiple Lines in Selection"));
    m_errorTextView->sizeToFit();
    m_errorTextView->move((m_view->width() - m_errorTextView->width()) / 2,
                          (m_view->height() - m_errorTextView->height()) / 2);

    m_basePopupButton->adjustSize();
    m_basePopupButton->setMinimumWidth(m_basePopupButton->sizeHint().width());
    const int baseWidth =
        std::max(m_basePopupButton->sizeHint().width(),
                 m_basePopupButton->fontMetrics().horizontalAdvance(baseTitle(2)) + 40);
    m_basePopupButton->resize(baseWidth, m_basePopupButton->sizeHint().height());
    m_dpField->move(m_basePopupButton->width() + kControlSpacing, 0);
    m_dpPopupButton->move(m_dpField->x() + m_dpField->width(), 0);
    m_thousandsSeparatorButton->adjustSize();
    m_thousandsSeparatorButton->move(
        m_dpPopupButton->x() + m_dpPopupButton->width() + kControlSpacing, 0);
    m_notationPopup->adjustSize();
    m_trigonometryPopup->adjustSize();
    m_alignmentPopup->adjustSize();
    m_alignmentPopup->move(m_trigonometryPopup->width() + kControlSpacing, 0);

    // Each section as tall as its tallest control, its controls centred in it.
    for (QWidget* section : sectionViews()) {
        int right = 0, height = 0;
        for (QWidget* child :
             section->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            right = std::max(right, child->x() + child->width());
            height = std::max(height, child->height());
        }
        section->resize(right, height);
        for (QWidget* child :
             section->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            child->move(child->x(), (height - child->height()) / 2);
    }
    std::vector<double> dividers;
    int x = kSectionSpacing;
    const std::vector<QWidget*> sections = sectionViews();
    for (size_t i = 0; i < sections.size(); ++i) {
        QWidget* section = sections[i];
        section->move(x, (static_cast<int>(kFormattingBarHeight) - section->height()) / 2);
        const int end = x + section->width();
        if (i + 1 < sections.size()) dividers.push_back(end + kSectionSpacing);
        x = end + 2 * kSectionSpacing + 1;
    }
    m_dividerPositions = dividers;
    m_view->setDrawsDividers(true);
    hideViewsIfNecessary();
}

void NBLineFormattingController::hideViewsIfNecessary() {
    if (!m_view) return;
    bool anyHidden = false;
    std::vector<double> dividers;
    const std::vector<QWidget*> sections = sectionViews();
    for (size_t i = 0; i < sections.size(); ++i) {
        QWidget* section = sections[i];
        const bool fits = section->x() + section->width() + kSectionSpacing <= m_view->width();
        section->setVisible(fits);
        anyHidden = anyHidden || !fits;
        // A divider stands only between two sections shown.
        if (fits && i > 0 && i - 1 < m_dividerPositions.size())
            dividers.push_back(m_dividerPositions[i - 1]);
    }
    m_view->setDividerPositions(dividers);
    m_view->setDrawsEllipsis(anyHidden);
}
