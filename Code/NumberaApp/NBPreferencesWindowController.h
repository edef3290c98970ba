// The application's preferences: the panes General, Editing, Units, Formatting, Styling,
// MathKey and Language, their controls bound to the user settings, and the changes that need
// more than a binding: the two number signs (never equal, one locale change per edit), the
// decimal places (at most 50), the font, the syntax colours, and the restart notices of the
// language and unit settings.
//
// A pane's content can be supplied from outside (setPaneWidget): the MathKey pane shows a
// plain placeholder until its editor is installed.
#ifndef NUMBERA_APP_NB_PREFERENCES_WINDOW_CONTROLLER_H
#define NUMBERA_APP_NB_PREFERENCES_WINDOW_CONTROLLER_H

#include <QColor>
#include <QFont>
#include <QMap>
#include <QPointer>
#include <QString>
#include <map>
#include <string>

#include "MRPreferences.h"
#include "NBFontSelectorView.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

inline constexpr char NBPrefPaneGeneral[] = "NBPrefPaneGeneral";
inline constexpr char NBPrefPaneEditing[] = "NBPrefPaneEditing";
inline constexpr char NBPrefPaneUnits[] = "NBPrefPaneUnits";
inline constexpr char NBPrefPaneNumbers[] = "NBPrefPaneNumbers";
inline constexpr char NBPrefPaneStyle[] = "NBPrefPaneStyle";
inline constexpr char NBPrefPaneMathKey[] = "NBPrefPaneMathKey";
inline constexpr char NBPrefPaneLanguage[] = "NBPrefPaneLanguage";

class NBPreferencesWindowController : public MRPreferences,
                                      public MRPreferencesDelegate,
                                      public NBFontSelectorDelegate {
    Q_OBJECT

  public:
    // The restart notices' room: the Language pane grows by 33, the Units pane by 40.
    static constexpr int kLanguageRestartNoticeHeight = 33;
    static constexpr int kUnitsRestartNoticeHeight = 40;

    explicit NBPreferencesWindowController(QObject* parent = nullptr);
    ~NBPreferencesWindowController() override;

    // The application's preferences while they exist; null before.
    static NBPreferencesWindowController* sharedPreferences();

    // Installs the content of a pane in place of what it shows (the MathKey pane's editor);
    // the controller owns it from then on. An unknown identifier deletes the widget.
    void setPaneWidget(const QString& identifier, QWidget* widget);
    // The pane's view; null for an unknown identifier and before the panes are loaded.
    QWidget* paneView(const QString& identifier) const;

    // MRPreferencesDelegate
    QString preferencesIdentifier(MRPreferences&) override;
    QStringList preferencesPaneIdentifiers(MRPreferences&) override;
    QString preferencesLabelForPaneIdentifier(MRPreferences&, const QString& identifier) override;
    QIcon preferencesIconForPaneIdentifier(MRPreferences&, const QString& identifier) override;
    QWidget* preferencesViewForPaneIdentifier(MRPreferences&, const QString& identifier) override;

    // NBFontSelectorDelegate: the font becomes the text font of every document.
    void fontDidChange(NBFontSelectorView& selector, const QFont& font) override;

    // The action of the two sign fields: a valid sign is stored; an emptied field takes the
    // locale's sign; anything else is refused and the field shows the stored sign again.
    void validateThousandsAndDecimalPlace(QLineEdit* field);
    // The decimal-places field: more than 50 shows the alert and 50.
    void precisionEntered();
    void setupColorBindings();
    QColor syntaxColor(const QString& identifier) const { return m_syntaxColors.value(identifier); }
    // Stores the colour for the syntax-colour identifier.
    void setSyntaxColor(const QString& identifier, const QColor& color);

    bool localizationRelatedRestartRequired() const;
    bool unitRelatedRestartRequired() const;
    // There is no updater here: the system's package manager brings new versions.
    bool automaticallyChecksForUpdates() const { return false; }
    void setAutomaticallyChecksForUpdates(bool) {}

    NBFontSelectorView* fontSelectorView() const { return m_fontSelectorView; }

  signals:
    void syntaxColorChanged(const QString& identifier);

  protected:
    void loadNeededNibs() override;

  private:
    QWidget* makeGeneralView();
    QWidget* makeEditingView();
    QWidget* makeUnitsView();
    QWidget* makeNumberView();
    QWidget* makeAppearanceView();
    QWidget* makeReplacementsView();
    QWidget* makeLocalizationView();
    QWidget* newPane(const QString& identifier);
    QCheckBox* boundCheckBox(QWidget* pane, const QString& title, const char* key);
    QComboBox* boundPopUp(QWidget* pane, const char* key,
                          const std::vector<std::pair<QString, int>>& items);
    void observeDefaults();
    void separatorSignChanged(const char* changedKey);
    void contentLanguageChanged();
    void unitSettingsChanged();
    void showPrecisionAlert();
    void updateNotationDescription();
    void updateSeparatorFields();
    void layoutPanes();
    // A pane whose content needs more room than it has (a message that shows) grows, and the
    // window with it when the pane is showing.
    void growPaneToContent(QWidget* pane);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void installPaneContent(const QString& identifier, QWidget* widget);
    void showRestartNotice(const QString& identifier, QLabel* notice, bool& shown, bool required,
                           int height);

    std::map<QString, QPointer<QWidget>> m_panes;
    // Content given before the panes were made.
    std::map<QString, QPointer<QWidget>> m_suppliedContent;
    QMap<QString, QColor> m_syntaxColors;
    NBFontSelectorView* m_fontSelectorView = nullptr;
    QLineEdit* m_decimalField = nullptr;
    QLineEdit* m_thousandsField = nullptr;
    QLineEdit* m_precisionField = nullptr;
    QLineEdit* m_thresholdField = nullptr;
    QLabel* m_notationDescriptionField = nullptr;
    QLabel* m_separatorError = nullptr;
    QComboBox* m_languagesPopupButton = nullptr;
    QLabel* m_languageRestartNotice = nullptr;
    QLabel* m_unitsRestartNotice = nullptr;
    bool m_languageNoticeShown = false;
    bool m_unitsNoticeShown = false;
    bool m_resolvingSeparators = false;
    bool m_storingFont = false;
};

#endif
