#include "NBPreferencesWindowController.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBColorController.h"
#include "NBColorManager.h"
#include "NBContentLanguageMenu.h"
#include "NBEnvironmentController.h"
#include "NBLocalizationHelper.h"
#include "NBPreferencesRules.h"
#include "NBTextAttributes.h"
#include "NBUserDefaultsController.h"
#include "NKEnvironment.h"
#include "NKUnitsManager.h"
#include "NSLocalizedString.h"
#include "NotificationCenter.h"
#include "QtSettings.h"
#include "Settings.h"

namespace {

NBPreferencesWindowController* s_shared = nullptr;

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

struct PaneDescription {
    const char* identifier;
    const char16_t* label;
    QStyle::StandardPixmap icon;
};

// The toolbar's order.
const std::vector<PaneDescription>& paneDescriptions() {
    static const std::vector<PaneDescription> panes = {
        {NBPrefPaneGeneral, u"General", QStyle::SP_ComputerIcon},
        {NBPrefPaneEditing, u"Editing", QStyle::SP_FileDialogDetailedView},
        {NBPrefPaneUnits, u"Units", QStyle::SP_DriveHDIcon},
        {NBPrefPaneNumbers, u"Formatting", QStyle::SP_FileDialogListView},
        {NBPrefPaneStyle, u"Styling", QStyle::SP_DesktopIcon},
        {NBPrefPaneMathKey, u"MathKey", QStyle::SP_DialogHelpButton},
        {NBPrefPaneLanguage, u"Language", QStyle::SP_DirHomeIcon},
    };
    return panes;
}

const PaneDescription* describe(const QString& identifier) {
    for (const PaneDescription& pane : paneDescriptions())
        if (identifier == QLatin1String(pane.identifier)) return &pane;
    return nullptr;
}

// The locale's own sign; "." and "," when the locale has none the documents can write.
std::u16string localeSign(bool decimal) {
    const QLocale locale;
    const std::u16string sign =
        (decimal ? locale.decimalPoint() : locale.groupSeparator()).toStdU16String();
    if (NBPreferencesRules::isValidSeparatorSign(sign, decimal)) return sign;
    return decimal ? u"." : u",";
}

QtSettings* qtSettings() { return dynamic_cast<QtSettings*>(Settings::standard().get()); }

}  // namespace

NBPreferencesWindowController::NBPreferencesWindowController(QObject* parent)
    : MRPreferences(parent) {
    setDelegate(this);
    s_shared = this;
}

NBPreferencesWindowController::~NBPreferencesWindowController() {
    if (s_shared == this) s_shared = nullptr;
    for (const auto& [identifier, widget] : m_suppliedContent) delete widget.data();
    if (QtSettings* settings = qtSettings()) settings->disconnect(this);
    setDelegate(nullptr);
}

NBPreferencesWindowController* NBPreferencesWindowController::sharedPreferences() {
    return s_shared;
}

// Delegate

QString NBPreferencesWindowController::preferencesIdentifier(MRPreferences&) {
    return QStringLiteral("NUMBERA-two");
}

QStringList NBPreferencesWindowController::preferencesPaneIdentifiers(MRPreferences&) {
    QStringList identifiers;
    for (const PaneDescription& pane : paneDescriptions()) identifiers << pane.identifier;
    return identifiers;
}

QString NBPreferencesWindowController::preferencesLabelForPaneIdentifier(
    MRPreferences&, const QString& identifier) {
    const PaneDescription* pane = describe(identifier);
    return pane ? localized(pane->label) : QString();
}

QIcon NBPreferencesWindowController::preferencesIconForPaneIdentifier(MRPreferences&,
                                                                      const QString& identifier) {
    const PaneDescription* pane = describe(identifier);
    return pane ? QApplication::style()->standardIcon(pane->icon) : QIcon();
}

QWidget* NBPreferencesWindowController::preferencesViewForPaneIdentifier(
    MRPreferences&, const QString& identifier) {
    return paneView(identifier);
}

QWidget* NBPreferencesWindowController::paneView(const QString& identifier) const {
    auto found = m_panes.find(identifier);
    return found == m_panes.end() ? nullptr : found->second.data();
}

void NBPreferencesWindowController::setPaneWidget(const QString& identifier, QWidget* widget) {
    if (!widget) return;
    if (!describe(identifier)) {
        delete widget;
        return;
    }
    if (!loadedNibs()) {
        // The pane is made with the others; keep the content until then.
        widget->hide();
        widget->setParent(nullptr);
        m_suppliedContent[identifier] = widget;
        return;
    }
    installPaneContent(identifier, widget);
}

void NBPreferencesWindowController::installPaneContent(const QString& identifier, QWidget* widget) {
    QWidget* pane = paneView(identifier);
    if (!pane) return;
    auto* layout = qobject_cast<QVBoxLayout*>(pane->layout());
    if (!layout) return;
    // The placeholder, or content installed before, leaves.
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    widget->setParent(pane);
    layout->addWidget(widget, 1);
    widget->show();
    const QMargins margins = layout->contentsMargins();
    const QSize wanted = widget->sizeHint().expandedTo(widget->minimumSize()) +
                         QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
    const int widthChange = std::max(0, wanted.width() - pane->width());
    const int heightChange = std::max(0, wanted.height() - pane->height());
    // Every pane keeps the common width.
    if (widthChange)
        for (const auto& [name, view] : m_panes)
            if (view) view->setFixedWidth(view->width() + widthChange);
    pane->setFixedHeight(pane->height() + heightChange);
    if ((widthChange || heightChange) && currentPaneView())
        resizeWindowBy(widthChange, currentPaneView() == pane ? heightChange : 0);
}

// Loading

void NBPreferencesWindowController::loadNeededNibs() {
    setupColorBindings();
    m_panes[NBPrefPaneGeneral] = makeGeneralView();
    m_panes[NBPrefPaneEditing] = makeEditingView();
    m_panes[NBPrefPaneUnits] = makeUnitsView();
    m_panes[NBPrefPaneNumbers] = makeNumberView();
    m_panes[NBPrefPaneStyle] = makeAppearanceView();
    m_panes[NBPrefPaneMathKey] = makeReplacementsView();
    m_panes[NBPrefPaneLanguage] = makeLocalizationView();
    layoutPanes();
    m_fontSelectorView->setSelectedFont(NBTextAttributes::defaultTextViewFont());
    m_fontSelectorView->setDelegate(this);
    observeDefaults();
    const auto supplied = std::exchange(m_suppliedContent, {});
    for (const auto& [identifier, widget] : supplied)
        if (widget) installPaneContent(identifier, widget);
}

void NBPreferencesWindowController::layoutPanes() {
    int width = 0;
    for (const auto& [identifier, pane] : m_panes)
        if (pane) width = std::max(width, pane->sizeHint().width());
    // Room around the widest pane's content.
    width += 30;
    for (const auto& [identifier, pane] : m_panes) {
        if (!pane) continue;
        pane->setParent(transitionView());
        pane->hide();
        pane->setFixedSize(width, pane->sizeHint().height());
        // The language and units panes make room for their restart notices themselves.
        if (identifier != NBPrefPaneLanguage && identifier != NBPrefPaneUnits)
            pane->installEventFilter(this);
    }
}

bool NBPreferencesWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LayoutRequest)
        if (auto* pane = qobject_cast<QWidget*>(watched))
            // Once the layout has taken in what changed.
            QMetaObject::invokeMethod(
                this, [this, pane = QPointer<QWidget>(pane)] { growPaneToContent(pane); },
                Qt::QueuedConnection);
    return MRPreferences::eventFilter(watched, event);
}

void NBPreferencesWindowController::growPaneToContent(QWidget* pane) {
    if (!pane || !pane->layout()) return;
    QLayout* layout = pane->layout();
    const int needed = layout->hasHeightForWidth() ? layout->totalHeightForWidth(pane->width())
                                                   : layout->totalSizeHint().height();
    const int heightChange = needed - pane->height();
    if (heightChange <= 0) return;
    pane->setFixedHeight(needed);
    if (currentPaneView() == pane) resizeWindowBy(0, heightChange);
}

void NBPreferencesWindowController::observeDefaults() {
    QtSettings* settings = qtSettings();
    if (!settings) return;
    settings->observe(NBDefaultFont, this, [this] {
        if (!m_storingFont)
            m_fontSelectorView->setSelectedFont(NBTextAttributes::defaultTextViewFont());
    });
    settings->observe(NBDecimalPointSign, this,
                      [this] { separatorSignChanged(NBDecimalPointSign); });
    settings->observe(NBThousandsSeperatorSign, this,
                      [this] { separatorSignChanged(NBThousandsSeperatorSign); });
    settings->observe(NBContentLanguage, this, [this] { contentLanguageChanged(); });
    settings->observe(NBUnitMeasurementSystem, this, [this] { unitSettingsChanged(); });
    settings->observe(NBDataStorageUnitPrefixType, this, [this] { unitSettingsChanged(); });
    settings->observe(NBNotationThreshold, this, [this] { updateNotationDescription(); });
}

// Number signs

void NBPreferencesWindowController::validateThousandsAndDecimalPlace(QLineEdit* field) {
    const bool decimal = field == m_decimalField;
    const char* key = decimal ? NBDecimalPointSign : NBThousandsSeperatorSign;
    const std::u16string entered = field->text().toStdU16String();
    const std::u16string stored = NBUserDefaultsController::stringForKey(key).value_or(u"");
    if (entered.empty()) {
        m_separatorError->hide();
        NBUserDefaultsController::setValueForKey(key, localeSign(decimal));
    } else if (!NBPreferencesRules::isValidSeparatorSign(entered, decimal)) {
        m_separatorError->show();
        QApplication::beep();
    } else {
        m_separatorError->hide();
        if (entered != stored) NBUserDefaultsController::setValueForKey(key, entered);
    }
    updateSeparatorFields();
}

void NBPreferencesWindowController::separatorSignChanged(const char* changedKey) {
    // Moving the other sign out of the way changes the other key: that change is part of this
    // one, and one locale change goes out for both.
    if (m_resolvingSeparators) return;
    m_resolvingSeparators = true;
    const bool decimalChanged = std::string(changedKey) == NBDecimalPointSign;
    const char* otherKey = decimalChanged ? NBThousandsSeperatorSign : NBDecimalPointSign;
    const std::u16string changed = NBUserDefaultsController::stringForKey(changedKey).value_or(u"");
    const std::u16string other = NBUserDefaultsController::stringForKey(otherKey).value_or(u"");
    if (changed == other) {
        const std::u16string partner = NBPreferencesRules::partnerSignFor(changed);
        if (partner == changed)
            Diagnostics::error("Huge error with ,. equivalences");
        else
            NBUserDefaultsController::setValueForKey(otherKey, partner);
    }
    m_resolvingSeparators = false;
    updateSeparatorFields();
    NotificationCenter::defaultCenter().post(NBSimpleLocaleChanged);
}

void NBPreferencesWindowController::updateSeparatorFields() {
    if (m_decimalField)
        m_decimalField->setText(NBAppResources::toQString(
            NBUserDefaultsController::stringForKey(NBDecimalPointSign).value_or(u"")));
    if (m_thousandsField)
        m_thousandsField->setText(NBAppResources::toQString(
            NBUserDefaultsController::stringForKey(NBThousandsSeperatorSign).value_or(u"")));
}

// Decimal places and notation

void NBPreferencesWindowController::precisionEntered() {
    const auto entry =
        NBPreferencesRules::precisionForEntry(m_precisionField->text().trimmed().toStdU16String());
    switch (entry.kind) {
        case NBPreferencesRules::PrecisionEntry::Accepted:
            NBUserDefaultsController::setValueForKey(NBDefaultPrecision, entry.value);
            break;
        case NBPreferencesRules::PrecisionEntry::TooLarge:
            NBUserDefaultsController::setValueForKey(NBDefaultPrecision, entry.value);
            m_precisionField->setText(QString::number(entry.value));
            showPrecisionAlert();
            return;
        case NBPreferencesRules::PrecisionEntry::Refused:
            QApplication::beep();
            break;
    }
    const int64_t precision = NBUserDefaultsController::integerForKey(NBDefaultPrecision);
    m_precisionField->setText(precision < 0 ? QString() : QString::number(precision));
}

void NBPreferencesWindowController::showPrecisionAlert() {
    auto* alert = new QMessageBox(QMessageBox::Warning, QString(),
                                  localized(u"Numbera doesn't support that level of accuracy"),
                                  QMessageBox::Ok, window());
    alert->setObjectName(QStringLiteral("precisionAlert"));
    alert->setInformativeText(localized(u"The maximum level of accuracy is 50 decimal places."));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->open();
}

void NBPreferencesWindowController::updateNotationDescription() {
    if (!m_notationDescriptionField) return;
    const int64_t threshold = NBUserDefaultsController::integerForKey(NBNotationThreshold);
    m_notationDescriptionField->setText(
        localized(u"Notation will kick in for numbers with %{value1}@ or more digits.")
            .replace(QStringLiteral("%{value1}@"), QString::number(threshold)));
    if (m_thresholdField && !m_thresholdField->hasFocus())
        m_thresholdField->setText(QString::number(threshold));
}

// Font

void NBPreferencesWindowController::fontDidChange(NBFontSelectorView&, const QFont& font) {
    m_storingFont = true;
    NBUserDefaultsController::setValueForKey(NBDefaultFont, NBAppResources::toU16(font.toString()));
    m_storingFont = false;
}

// Colours

void NBPreferencesWindowController::setupColorBindings() {
    NBColorManager& colors = NBColorManager::sharedInstance();
    for (const std::u16string& identifier : NBColorController::syntaxColoringColorIdentifiers()) {
        const QString name = QString::fromStdU16String(identifier);
        if (auto color = colors.colorForIdentifier(identifier)) {
            m_syntaxColors[name] = QColor::fromRgbF(static_cast<float>(color->redComponent),
                                                    static_cast<float>(color->greenComponent),
                                                    static_cast<float>(color->blueComponent),
                                                    static_cast<float>(color->alphaComponent));
        } else {
            m_syntaxColors[name] = Qt::red;
            colors.setColor(NSColor::colorWithCalibratedRed(1, 0, 0, 1), identifier, true);
        }
    }
}

void NBPreferencesWindowController::setSyntaxColor(const QString& identifier, const QColor& color) {
    if (!m_syntaxColors.contains(identifier) || !color.isValid()) return;
    m_syntaxColors[identifier] = color;
    NBColorManager::sharedInstance().setColor(
        NSColor::colorWithCalibratedRed(color.redF(), color.greenF(), color.blueF(),
                                        color.alphaF()),
        identifier.toStdU16String(), true);
    emit syntaxColorChanged(identifier);
}

// Restart notices

bool NBPreferencesWindowController::localizationRelatedRestartRequired() const {
    const auto environment = NKEnvironment::sharedEnvironment();
    if (!environment) return false;
    return environment->localization() != NBLocalizationHelper::languageCodeForContentLanguage(
                                              NBUserDefaultsController::contentLanguage());
}

bool NBPreferencesWindowController::unitRelatedRestartRequired() const {
    const auto environment = NKEnvironment::sharedEnvironment();
    const auto units = environment ? environment->unitsManager() : nullptr;
    if (!units) return false;
    return NBPreferencesRules::unitRelatedRestartRequired(
        units->unitsPreferenceOptionForPreferenceName(u"NCUnitsPreferenceImperialUSOrMetric"),
        units->unitsPreferenceOptionForPreferenceName(u"NCUnitsPreferenceBytePrefix"),
        NBUserDefaultsController::unitMeasurementSystem(),
        NBUserDefaultsController::dataStorageUnitPrefixType());
}

void NBPreferencesWindowController::showRestartNotice(const QString& identifier, QLabel* notice,
                                                      bool& shown, bool required, int height) {
    if (required == shown || !notice) return;
    shown = required;
    QWidget* pane = paneView(identifier);
    if (!pane) return;
    const int change = required ? height : -height;
    notice->setVisible(required);
    pane->setFixedHeight(pane->height() + change);
    if (currentPaneView() == pane) resizeWindowHeightBy(change);
}

void NBPreferencesWindowController::contentLanguageChanged() {
    if (m_languagesPopupButton)
        NBContentLanguageMenu::selectLanguage(m_languagesPopupButton,
                                              NBUserDefaultsController::contentLanguage());
    showRestartNotice(NBPrefPaneLanguage, m_languageRestartNotice, m_languageNoticeShown,
                      localizationRelatedRestartRequired(), kLanguageRestartNoticeHeight);
}

void NBPreferencesWindowController::unitSettingsChanged() {
    showRestartNotice(NBPrefPaneUnits, m_unitsRestartNotice, m_unitsNoticeShown,
                      unitRelatedRestartRequired(), kUnitsRestartNoticeHeight);
}
