// Names of the notifications that the environment and its data managers post on the default
// notification centre.
#ifndef NUMBERA_SERVICES_NK_NOTIFICATIONS_H
#define NUMBERA_SERVICES_NK_NOTIFICATIONS_H

inline constexpr const char* NKEnvironmentDidLoadBundle = "NKEnvironmentDidLoadBundle";
inline constexpr const char* NKVariableWasAdded = "NKVariableWasAdded";
inline constexpr const char* NKVariableWasRemoved = "NKVariableWasRemoved";
inline constexpr const char* NKVariableWasModified = "NKVariableWasModified";
inline constexpr const char* NKVariableWasMoved = "NKVariableWasMoved";
inline constexpr const char* NKVariablesLocaleChanged = "NKVariablesLocaleChanged";
// The string differs from the constant's name: files and observers in the field use it.
inline constexpr const char* NKStocksWereAdded = "NKStockWasAdded";
inline constexpr const char* NKStocksWereRemoved = "NKStocksWereRemoved";
inline constexpr const char* NKStocksSuccessfulyUpdated = "NKStocksSuccessfulyUpdated";
inline constexpr const char* NKStocksUpdateFailed = "NKStocksUpdateFailed";
inline constexpr const char* NKStocksLocaleChanged = "NKStocksLocaleChanged";
inline constexpr const char* NKCurrenciesSuccessfullyUpdated = "NKCurrenciesSuccessfullyUpdated";
inline constexpr const char* NKCurrenciesUpdateFailed = "NKCurrenciesUpdateFailed";
inline constexpr const char* NKCurrenciesUpdatePartiallyFailed =
    "NKCurrenciesUpdatePartiallyFailed";
inline constexpr const char* NKCurrenciesLocaleChanged = "NKCurrenciesLocaleChanged";
inline constexpr const char* NKCurrenciesEnabledStateChanged = "NKCurrenciesEnabledStateChanged";
inline constexpr const char* NKCurrenciesFavouriteStateChanged =
    "NKCurrenciesFavouriteStateChanged";
inline constexpr const char* NKCurrenciesWillBeginUpdateFromWeb =
    "NKCurrenciesWillBeginUpdateFromWeb";
inline constexpr const char* NKCurrencyBaseLocaleUpdated = "NKCurrencyBaseLocaleUpdated";

#endif
