// The names of the user settings, spelled as they are stored (misspellings included).
#ifndef NUMBERA_APP_RULES_NB_USER_DEFAULTS_KEYS_H
#define NUMBERA_APP_RULES_NB_USER_DEFAULTS_KEYS_H

inline constexpr char NBShowWelcomeWindowOnLaunch[] = "NBShowWelcomeWindowOnLaunch";
inline constexpr char NBWantsNewDocumentOnLaunch[] = "NBWantsNewDocumentOnLaunch";
inline constexpr char NBOpenSavedFileAtLaunch[] = "NBOpenSavedFileAtLaunch";
inline constexpr char NBLastSavedFilePath[] = "NBLastSavedFilePath";
// A dictionary: the shell stores it in its own form (settings values hold no dictionaries).
inline constexpr char NBCreatorVersion[] = "NBCreatorVersion";
inline constexpr char NBNumberOfLaunches[] = "NBNumberOfLaunches";
inline constexpr char NBTutorialHasRun[] = "NBTutorialHasRun";
inline constexpr char NBBaseCurrency[] = "NBBaseCurrency";
inline constexpr char NBContentLanguage[] = "NBContentLanguage";
inline constexpr char NBDefaultPrecision[] = "NBDefaultPrecision";
inline constexpr char NBNotationThreshold[] = "NBNotationThreshold";
inline constexpr char NBThousandsSeparatorOn[] = "NBThousandsSeparatorOn";
inline constexpr char NBDecimalPointSign[] = "NBDecimalPointSign";
inline constexpr char NBThousandsSeperatorSign[] = "NBThousandsSeperatorSign";
inline constexpr char NBNotationStyle[] = "NBNotationStyle";
inline constexpr char NBDefaultTrigMode[] = "NBDefaultTrigMode";
inline constexpr char NBSuppressSaveAlert[] = "NBSuppressSaveAlert";
inline constexpr char NBNumberLineVisible[] = "NBNumberLineVisible";
inline constexpr char NBStatisticsBarVisible[] = "NBStatisticsBarVisible";
inline constexpr char NBFormattingBarVisible[] = "NBFormattingBarVisible";
inline constexpr char NBSyntaxColoringEnabled[] = "NBSyntaxColoringEnabled";
inline constexpr char NBBoldHeadingsEnabled[] = "NBBoldHeadingsEnabled";
inline constexpr char NBBoldLabelsEnabled[] = "NBBoldLabelsEnabled";
inline constexpr char NBAddTokenToNewLine[] = "NBAddTokenToNewLine";
inline constexpr char NBAddSpacesAroundOperators[] = "NBAddSpacesAroundOperators";
inline constexpr char NBAddClosingBracket[] = "NBAddClosingBracket";
inline constexpr char NBAddClosingQuotationMarks[] = "NBAddClosingQuotationMarks";
inline constexpr char NBDeleteExcessSpaces[] = "NBDeleteExcessSpaces";
inline constexpr char NBMathKeyEnabled[] = "NBMathKeyEnabled";
// The text font as the toolkit's font description string.
inline constexpr char NBDefaultFont[] = "NBDefaultFont";
inline constexpr char NBDefaultTextAlignment[] = "NBDefaultTextAlignment";
inline constexpr char NBUnitMeasurementSystem[] = "NBUnitMeasurementSystem";
inline constexpr char NBDataStorageUnitPrefixType[] = "NBDataStorageUnitPrefixType";
inline constexpr char NBChosenStatistic[] = "NBChosenStatistic";
inline constexpr char NBExportShowsTitle[] = "NBExportShowsTitle";
inline constexpr char NBExportShowsDate[] = "NBExportShowsDate";
inline constexpr char NBExportWantsSyntaxColoring[] = "NBExportWantsSyntaxColoring";
inline constexpr char NBDefaultExportFormat[] = "NBDefaultExportFormat";
inline constexpr char NBSelectedNumeralsPane[] = "NBSelectedNumeralsPane";
inline constexpr char NBReferenceWindowSelectedSection[] = "NBReferenceWindowSelectedSection";
inline constexpr char NBURLWebsite[] = "NBURLWebsite";
inline constexpr char NBSettingEnableExperimentalUnits[] = "NBSettingEnableExperimentalUnits";
inline constexpr char NBDeveloperMode[] = "NBDeveloperMode";
inline constexpr char NBDownloadsPreReleaseBuilds[] = "NBDownloadsPreReleaseBuilds";
inline constexpr char moveToApplicationsFolderAlertSuppress[] =
    "moveToApplicationsFolderAlertSuppress";

#endif
