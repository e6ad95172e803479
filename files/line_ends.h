#pragma once

#include <string>
#include <string_view>

namespace scrivlet {

// Line ends between the disk and the editor. In the editor a line ends with CR LF; a lone CR
// or a lone LF is an ordinary character. On disk a line ends with LF.
//
// Loading turns every LF that does not follow a CR into CR LF and keeps everything else, so
// CR LF pairs and lone CRs pass unchanged. Saving turns every CR LF into LF and writes lone
// CRs and lone LFs as they are. Loading and then saving therefore changes nothing on disk but
// CR LF into LF.

std::string toEditorLineEnds(std::string_view disk);
std::string toDiskLineEnds(std::string_view editor);

} // namespace scrivlet
