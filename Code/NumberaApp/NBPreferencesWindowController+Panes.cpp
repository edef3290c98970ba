// The panes' controls and their bindings to the settings.
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>

#include "NBAppResources.h"
#include "NBContentLanguageMenu.h"
#include "NBPreferencesRules.h"
#include "NBPreferencesWindowController.h"
#include "NBUserDefaultsController.h"
#include "NSLocalizedString.h"
#include "QtSettings.h"
#include "Settings.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

// A localised text whose table has no entry answers its key: then the English text serves.
QString localizedOr(const char16_t* key, const char* english) {
    const QString text = localized(key);
    return text == QString::fromUtf16(key) ? QString::fromUtf8(english) : text;
}

QtSettings* qtSettings() { return dynamic_cast<QtSettings*>(Settings::standard().get()); }

// Label, control and a trailing label on one line; each starts right after the one before.
QHBoxLayout* row(QVBoxLayout* pane, QLabel* label, QWidget* control, QLabel* trailing = nullptr) {
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    if (label) line->addWidget(label);
    if (control) line->addWidget(control);
    if (trailing) line->addWidget(trailing);
    line->addStretch(1);
    pane->addLayout(line);
    return line;
}

QLabel* noticeLabel(QWidget* pane, const QString& text, const char* name) {
    auto* notice = new QLabel(text, pane);
    notice->setObjectName(QString::fromLatin1(name));
    notice->setWordWrap(true);
    QFont font = notice->font();
    font.setBold(true);
    notice->setFont(font);
    notice->hide();
    return notice;
}

struct ColorRow {
    const char16_t* identifier;
    const char16_t* title;
};

const ColorRow kColorRows[] = {
    {u"NBNumbersSyntaxColor", u"Numbers"},     {u"NBOperatorsSyntaxColor", u"Operators"},
    {u"NBWordsSyntaxColor", u"Words"},         {u"NBUnitsSyntaxColor", u"Units"},
    {u"NBFunctionsSyntaxColor", u"Functions"}, {u"NBConstantsSyntaxColor", u"Constants"},
    {u"NBBracketsSyntaxColor", u"Brackets"},   {u"NBHeadingsSyntaxColor", u"Headings"},
    {u"NBLabelsSyntaxColor", u"Labels"},       {u"NBCommentsSyntaxColor", u"Comments"},
};

void paintSwatch(QPushButton* button, const QColor& color) {
    QPixmap swatch(28, 14);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
    button->setIconSize(swatch.size());
}

}  // namespace

QWidget* NBPreferencesWindowController::newPane(const QString& identifier) {
    auto* pane = new QWidget(transitionView());
    pane->setObjectName(identifier);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(8);
    return pane;
}

QCheckBox* NBPreferencesWindowController::boundCheckBox(QWidget* pane, const QString& title,
                                                        const char* key) {
    auto* box = new QCheckBox(title, pane);
    box->setObjectName(QString::fromLatin1(key));
    box->setChecked(NBUserDefaultsController::boolForKey(key));
    const std::string name = key;
    connect(box, &QCheckBox::toggled, this,
            [name](bool checked) { NBUserDefaultsController::setValueForKey(name, checked); });
    if (QtSettings* settings = qtSettings())
        settings->observe(QString::fromLatin1(key), box, [box, name] {
            const QSignalBlocker blocker(box);
            box->setChecked(NBUserDefaultsController::boolForKey(name));
        });
    static_cast<QVBoxLayout*>(pane->layout())->addWidget(box);
    return box;
}

QComboBox* NBPreferencesWindowController::boundPopUp(
    QWidget* pane, const char* key, const std::vector<std::pair<QString, int>>& items) {
    auto* popUp = new QComboBox(pane);
    popUp->setObjectName(QString::fromLatin1(key));
    for (const auto& [title, tag] : items) popUp->addItem(title, tag);
    const std::string name = key;
    const auto select = [popUp, name] {
        const QSignalBlocker blocker(popUp);
        popUp->setCurrentIndex(
            popUp->findData(static_cast<int>(NBUserDefaultsController::integerForKey(name))));
    };
    select();
    connect(popUp, &QComboBox::activated, this, [popUp, name](int index) {
        NBUserDefaultsController::setValueForKey(
            name, static_cast<int64_t>(popUp->itemData(index).toInt()));
    });
    if (QtSettings* settings = qtSettings())
        settings->observe(QString::fromLatin1(key), popUp, select);
    return popUp;
}

QWidget* NBPreferencesWindowController::makeGeneralView() {
    QWidget* pane = newPane(NBPrefPaneGeneral);
    boundCheckBox(pane, localized(u"Show the welcome window at launch"),
                  NBShowWelcomeWindowOnLaunch);
    boundCheckBox(pane, localized(u"Open a new document at launch"), NBWantsNewDocumentOnLaunch);
    boundCheckBox(pane, localized(u"Don't ask to save documents when closing them"),
                  NBSuppressSaveAlert);
    // No updater exists here: the system's package manager brings new versions.
    auto* updates = new QCheckBox(localized(u"Automatically check for updates"), pane);
    updates->setObjectName(QStringLiteral("automaticallyChecksForUpdates"));
    updates->setChecked(automaticallyChecksForUpdates());
    updates->hide();
    static_cast<QVBoxLayout*>(pane->layout())->addStretch(1);
    return pane;
}

QWidget* NBPreferencesWindowController::makeEditingView() {
    QWidget* pane = newPane(NBPrefPaneEditing);
    boundCheckBox(pane, localized(u"Add spaces around operators"), NBAddSpacesAroundOperators);
    boundCheckBox(pane, localized(u"Add closing brackets"), NBAddClosingBracket);
    boundCheckBox(pane, localized(u"Add closing quotation marks"), NBAddClosingQuotationMarks);
    boundCheckBox(pane, localized(u"Delete excess spaces"), NBDeleteExcessSpaces);
    boundCheckBox(pane, localized(u"Start each new line with a reference to the line above"),
                  NBAddTokenToNewLine);
    boundCheckBox(pane, localized(u"Replace keystrokes with MathKey"), NBMathKeyEnabled);
    static_cast<QVBoxLayout*>(pane->layout())->addStretch(1);
    return pane;
}

QWidget* NBPreferencesWindowController::makeUnitsView() {
    QWidget* pane = newPane(NBPrefPaneUnits);
    auto* layout = static_cast<QVBoxLayout*>(pane->layout());
    row(layout, new QLabel(localized(u"Measurement system:"), pane),
        boundPopUp(pane, NBUnitMeasurementSystem,
                   {{localized(u"Metric"), 0},
                    {localized(u"Imperial"), 1},
                    {localized(u"US Customary"), 2}}));
    row(layout, new QLabel(localized(u"Data storage units:"), pane),
        boundPopUp(pane, NBDataStorageUnitPrefixType,
                   {{localized(u"SI (1 kB = 1000 bytes)"), 0},
                    {localized(u"Binary (1 KiB = 1024 bytes)"), 1}}));
    const QString linkName =
        localizedOr(u"BinaryPrefixSystemLinkName", "binary prefix system").toHtmlEscaped();
    const QString linkURL =
        localizedOr(u"BinaryPrefixSystemLinkURL", "https://en.wikipedia.org/wiki/Binary_prefix");
    const QString address = QString::fromUtf8(QUrl(linkURL).toEncoded()).toHtmlEscaped();
    auto* note = new QLabel(pane);
    note->setObjectName(QStringLiteral("learnMoreAboutBinaryPrefixes"));
    note->setTextFormat(Qt::RichText);
    note->setOpenExternalLinks(true);
    note->setText(localized(u"Learn more about the %@, and units like GiB & MiB.")
                      .toHtmlEscaped()
                      .replace(QStringLiteral("%@"),
                               QStringLiteral("<a href=\"%1\">%2</a>").arg(address, linkName)));
    layout->addWidget(note);
    layout->addStretch(1);
    m_unitsRestartNotice =
        noticeLabel(pane, localized(u"Restart Numbera for the new unit settings to take effect."),
                    "unitsRestartNotice");
    layout->addWidget(m_unitsRestartNotice);
    return pane;
}

QWidget* NBPreferencesWindowController::makeNumberView() {
    QWidget* pane = newPane(NBPrefPaneNumbers);
    auto* layout = static_cast<QVBoxLayout*>(pane->layout());

    auto* grouping = new QCheckBox(localized(u"Show"), pane);
    grouping->setObjectName(QString::fromLatin1(NBThousandsSeparatorOn));
    grouping->setChecked(NBUserDefaultsController::boolForKey(NBThousandsSeparatorOn));
    connect(grouping, &QCheckBox::toggled, this, [](bool checked) {
        NBUserDefaultsController::setValueForKey(NBThousandsSeparatorOn, checked);
    });
    if (QtSettings* settings = qtSettings())
        settings->observe(NBThousandsSeparatorOn, grouping, [grouping] {
            const QSignalBlocker blocker(grouping);
            grouping->setChecked(NBUserDefaultsController::boolForKey(NBThousandsSeparatorOn));
        });
    row(layout, new QLabel(localized(u"Thousands separator:"), pane), grouping);

    const auto signField = [this, pane](const char* name) {
        auto* field = new QLineEdit(pane);
        field->setObjectName(QString::fromLatin1(name));
        field->setFixedWidth(40);
        field->setAlignment(Qt::AlignCenter);
        connect(field, &QLineEdit::editingFinished, this,
                [this, field] { validateThousandsAndDecimalPlace(field); });
        return field;
    };
    m_decimalField = signField("decimalPointSignField");
    m_thousandsField = signField("thousandsSeparatorSignField");
    auto* signs = row(layout, new QLabel(localized(u"Decimal sign:"), pane), m_decimalField);
    signs->insertWidget(2, new QLabel(localized(u"Thousands sign:"), pane));
    signs->insertWidget(3, m_thousandsField);
    m_separatorError =
        new QLabel(localized(u"The decimal sign is \".\" or \",\"; the thousands sign one of \",\" "
                             u"\".\" \"'\" or a space."),
                   pane);
    m_separatorError->setObjectName(QStringLiteral("separatorError"));
    m_separatorError->setWordWrap(true);
    m_separatorError->hide();
    layout->addWidget(m_separatorError);
    updateSeparatorFields();

    // A line edit rather than a spin box: a spin box would clamp silently instead of telling.
    m_precisionField = new QLineEdit(pane);
    m_precisionField->setObjectName(QStringLiteral("precisionField"));
    m_precisionField->setFixedWidth(50);
    const int64_t precision = NBUserDefaultsController::integerForKey(NBDefaultPrecision);
    m_precisionField->setText(precision < 0 ? QString() : QString::number(precision));
    connect(m_precisionField, &QLineEdit::editingFinished, this,
            &NBPreferencesWindowController::precisionEntered);
    row(layout, new QLabel(localized(u"Precision:"), pane), m_precisionField,
        new QLabel(localized(u"decimal places"), pane));

    m_thresholdField = new QLineEdit(pane);
    m_thresholdField->setObjectName(QStringLiteral("thresholdField"));
    m_thresholdField->setFixedWidth(50);
    connect(m_thresholdField, &QLineEdit::editingFinished, this, [this] {
        if (auto threshold = NBPreferencesRules::notationThresholdForEntry(
                m_thresholdField->text().trimmed().toStdU16String()))
            NBUserDefaultsController::setValueForKey(NBNotationThreshold, *threshold);
        m_thresholdField->clearFocus();
        updateNotationDescription();
    });
    row(layout, new QLabel(localized(u"Scientific notation from:"), pane), m_thresholdField,
        new QLabel(localized(u"digits"), pane));
    m_notationDescriptionField = new QLabel(pane);
    m_notationDescriptionField->setObjectName(QStringLiteral("notationDescriptionField"));
    layout->addWidget(m_notationDescriptionField);
    updateNotationDescription();

    row(layout, new QLabel(localized(u"Trigonometry:"), pane),
        boundPopUp(pane, NBDefaultTrigMode,
                   {{localized(u"Degrees"), 1}, {localized(u"Radians"), 2}}));
    layout->addStretch(1);
    return pane;
}

QWidget* NBPreferencesWindowController::makeAppearanceView() {
    QWidget* pane = newPane(NBPrefPaneStyle);
    auto* layout = static_cast<QVBoxLayout*>(pane->layout());
    boundCheckBox(pane, localized(u"Colour the syntax"), NBSyntaxColoringEnabled);
    boundCheckBox(pane, localized(u"Bold headings"), NBBoldHeadingsEnabled);
    boundCheckBox(pane, localized(u"Bold labels"), NBBoldLabelsEnabled);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    int index = 0;
    for (const ColorRow& entry : kColorRows) {
        const QString identifier = QString::fromStdU16String(entry.identifier);
        auto* swatch = new QPushButton(localized(entry.title), pane);
        swatch->setObjectName(identifier);
        paintSwatch(swatch, syntaxColor(identifier));
        connect(swatch, &QPushButton::clicked, this, [this, swatch, identifier] {
            auto* panel = new QColorDialog(syntaxColor(identifier), swatch->window());
            panel->setObjectName(QStringLiteral("colorPanel"));
            panel->setAttribute(Qt::WA_DeleteOnClose);
            panel->setWindowModality(Qt::NonModal);
            connect(panel, &QColorDialog::colorSelected, this,
                    [this, identifier](const QColor& color) { setSyntaxColor(identifier, color); });
            panel->show();
        });
        connect(this, &NBPreferencesWindowController::syntaxColorChanged, swatch,
                [this, swatch, identifier](const QString& changed) {
                    if (changed == identifier) paintSwatch(swatch, syntaxColor(identifier));
                });
        grid->addWidget(swatch, index / 2, index % 2);
        ++index;
    }
    layout->addLayout(grid);

    row(layout, new QLabel(localized(u"Text alignment:"), pane),
        boundPopUp(pane, NBDefaultTextAlignment,
                   {{localized(u"Align Left"), 0},
                    {localized(u"Center"), 2},
                    {localized(u"Align Right"), 1}}));
    m_fontSelectorView = new NBFontSelectorView(pane);
    m_fontSelectorView->setMinimumWidth(300);
    auto* fontRow = row(layout, new QLabel(localized(u"Font:"), pane), m_fontSelectorView);
    // The selector takes the rest of the line.
    fontRow->setStretchFactor(m_fontSelectorView, 1);
    fontRow->setStretch(fontRow->count() - 1, 0);
    layout->addStretch(1);
    return pane;
}

QWidget* NBPreferencesWindowController::makeReplacementsView() {
    QWidget* pane = newPane(NBPrefPaneMathKey);
    auto* placeholder = new QLabel(localized(u"MathKey"), pane);
    placeholder->setObjectName(QStringLiteral("mathKeyPlaceholder"));
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setMinimumHeight(120);
    static_cast<QVBoxLayout*>(pane->layout())->addWidget(placeholder, 1);
    return pane;
}

QWidget* NBPreferencesWindowController::makeLocalizationView() {
    QWidget* pane = newPane(NBPrefPaneLanguage);
    auto* layout = static_cast<QVBoxLayout*>(pane->layout());
    m_languagesPopupButton = new QComboBox(pane);
    m_languagesPopupButton->setObjectName(QStringLiteral("languagesPopupButton"));
    NBContentLanguageMenu::fill(m_languagesPopupButton);
    NBContentLanguageMenu::selectLanguage(m_languagesPopupButton,
                                          NBUserDefaultsController::contentLanguage());
    connect(m_languagesPopupButton, &QComboBox::activated, this, [this](int index) {
        const QVariant tag = m_languagesPopupButton->itemData(index);
        if (tag.isValid()) NBUserDefaultsController::setContentLanguage(tag.toLongLong());
    });
    row(layout, new QLabel(localized(u"Language for calculations:"), pane), m_languagesPopupButton);
    layout->addStretch(1);
    m_languageRestartNotice =
        noticeLabel(pane, localized(u"Restart Numbera to calculate in the new language."),
                    "languageRestartNotice");
    layout->addWidget(m_languageRestartNotice);
    return pane;
}
