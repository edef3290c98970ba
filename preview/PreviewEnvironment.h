// The previewers' process-wide calculation environment: the shared resources and the preview
// data folder the application keeps up to date, loaded once, never written and never
// refreshed from the web.
#ifndef NUMBERA_PREVIEW_PREVIEW_ENVIRONMENT_H
#define NUMBERA_PREVIEW_PREVIEW_ENVIRONMENT_H

#include <optional>
#include <string>

class NBColorManager;

namespace NumberaPreview {

// The shipped resources: "share/numbera/Resources" beside the installed program, else the
// source tree's "Resources" for programs run from a build folder. None when neither exists.
std::optional<std::string> shippedResourcesFolder();

// "Numbera/quicklook-data" in $XDG_DATA_HOME (or ~/.local/share), whether or not it exists.
// Unlike the kit's lookup this creates nothing: a previewer may run with a read-only home.
std::optional<std::string> userPreviewDataFolder();

// The folder the environment's currencies, stocks and variables come from: the requested
// one, else the user's preview data folder when it exists, else the shipped resources.
// None (with the reason) for a requested folder that is not a readable folder.
std::optional<std::string> chooseDataFolder(const std::optional<std::string>& requested,
                                            const std::string& resourcesFolder,
                                            std::string* reason);

// Sets the calculation settings, loads the environment and the colour scheme and makes them
// the shared ones. Only the first call of a process loads; later calls reuse that result.
// False (with the reason) when the resources cannot be found.
bool bootstrap(const std::optional<std::string>& requestedDataFolder, std::string* reason);

// Drops every diagnostic of the libraries for the rest of the process. The foundation's remarks
// on its settings and the managers' warnings about data files they skip belong neither in a
// preview, which is the program's standard output, nor in its one-line report of a failure.
void silenceDiagnostics();

// The colour scheme loaded by bootstrap().
const NBColorManager& previewColorManager();

}  // namespace NumberaPreview

#endif
