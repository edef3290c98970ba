// The application's shipped resources: "share/numbera/Resources" beside the installed program,
// else the source tree's "Resources" for a program run from its build folder.
#ifndef NUMBERA_APP_NB_APP_RESOURCES_H
#define NUMBERA_APP_NB_APP_RESOURCES_H

#include <QIcon>
#include <QString>
#include <optional>
#include <string>

namespace NBAppResources {

// None when neither folder holds the units catalogue.
std::optional<std::string> shippedResourcesFolder();

// The main bundle's file "<name>.<type>" in the folder (empty: the top level) for the
// localisation: "<folder>/<lang>.lproj/" or "<lang>.lproj/<folder>/" first, else the
// unlocalised "<folder>/" file. None when none exists or no bundle is set.
std::optional<QString> pathForResource(const std::string& name, const std::string& type,
                                       const std::optional<std::string>& localization,
                                       const std::string& folder = {});

// The application's icon: the desktop theme's "numbera", else the installed or the source
// tree's SVG.
QIcon applicationIcon();

QString toQString(const std::u16string& text);
std::u16string toU16(const QString& text);

}  // namespace NBAppResources

#endif
