#ifndef BREVAK_CORE_INSTALL_DIR_H_
#define BREVAK_CORE_INSTALL_DIR_H_

#include <string>

namespace brevak {

// Cuts the installation folder out of the registry listing: every
// "(预设值)=" removed, the text kept up to the first "Brevak\" (its first
// six characters when there is none), every CR LF removed.
std::u16string InstallDirFromListing(const std::u16string& listing);

}  // namespace brevak

#endif  // BREVAK_CORE_INSTALL_DIR_H_
