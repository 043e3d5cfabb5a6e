// frmLogo: the letterhead picture store. Pictures lie in the Headers folder as
// "Header." + key + "." + any extension; the picture last loaded is kept per thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <qor/Picture.h>

namespace qor::letterheads {

// The picture drawn for keys without a picture of their own.
inline constexpr std::string_view kFallbackPicture = "Header.16.jpg";

// The calling thread's picture cache: the picture last loaded and the key it was loaded
// for (the original's hidden form with its picture control and caption).
struct FrmLogo {
    std::string Caption;
    Picture Img;
};
FrmLogo& ThreadFrmLogo();

// The Headers folder: GenServices().DataFolder of the registered application's folder when
// UseApplicationFolder is true, else DataFolder("") (QORPRINT_DATA_DIR, else the per-user
// data folder), followed by "/Headers". Decided anew on every call; never throws.
std::string HeadersFolder();

// True when `key` may become part of a file name: one or more ASCII letters, digits, '-' or
// '_'. Anything else (separators, "..", glob or control characters, blanks, other
// characters) could name or match files it was not meant to.
bool IsSafeKey(std::string_view key);

// The first regular file of `folder`, in byte order of the names, whose name matches
// "Header." + key + ".*" ignoring case; nothing when none does or `key` is not safe.
std::optional<std::string> FindPicture(const std::string& folder, std::string_view key);

// Loads a picture file; throws what Picture::FromFile throws.
using PictureLoader = std::function<Picture(const std::string& path)>;
// Replaces the calling thread's loader (an empty function restores Picture::FromFile) and
// returns the previous one. Tests count the files opened through it.
PictureLoader SetPictureLoader(PictureLoader loader);

// Makes the thread's cache hold the picture of `key` (upper case) from `folder`, loading it
// only when the cache holds another key's picture. A key without a loadable picture of its
// own gets the fallback picture and becomes "0"; when even that cannot be loaded the cache
// keeps the picture it had. Returns the key whose design is drawn. Never throws.
std::string CachePicture(const std::string& folder, std::string key);

}  // namespace qor::letterheads
