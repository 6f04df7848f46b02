#pragma once
// The favorites: the user's own stations, held in lstFavorites and kept in Favorites.lst in the
// program folder, which is rewritten in full after every change. An item's text is the station's
// name and its tag the station's StationTag, both in the catalogue's character shift; its number
// is the bandwidth. Two favorites never share a tag.
//
// The file is replaced, never rewritten in place: the list goes to a new file in the same folder
// that then takes the old one's name, so a program that dies or a disk that fills during the
// write leaves the previous favorites whole. A file that does not read as a favorites list is
// never replaced (see favorites_file.h). A failing save is not reported; the favorites in memory
// keep the change and the next change writes them all again.
// User-interface thread only.

#include <QString>

#include <string>
#include <string_view>

namespace kinvo {

class Catalogue;
class CategoryBox;
class Prompts;
class StationView;
struct StationLists;

// programFolder + "/Favorites.lst".
QString favoritesFilePath(const QString& programFolder);

// The name a station is added under: its shown text; from "Most Popular Stations" the text
// before its last "(" (a text without "(" stays whole).
std::string favoriteName(std::string_view shownText, std::string_view category);

// The shift of the favorites' texts and tags. It is the catalogue's EncodeText / DecodeText,
// except that a byte the shift would move past 255 wraps around instead of being dropped: a name
// or tag comes back exactly, so a favorite can always be found again to be removed. Files written
// by the plain shift read back the same.
std::string encodeFavoriteText(std::string_view text);
std::string decodeFavoriteText(std::string_view text);

class Favorites {
  public:
    struct Parts {
        StationLists& lists;
        CategoryBox& comboS;
        Prompts& prompts;
        StationView& view;
        Catalogue& catalogue;
        QString filePath;  // Favorites.lst
    };

    explicit Favorites(Parts parts) : p_(std::move(parts)) {}

    // Adds the current station of lstStations (picTV, menuAddFav, modifier+F).
    void add();
    // The Delete key in the station list: in a category whose text in capitals contains
    // "FAVORITE", takes the current station out of the favorites and the shown list, whose
    // count ("N Items") it shows again.
    void remove();
    // Shows the favorites category, and the station frame with it.
    void menuFavs();
    // Writes lstFavorites to the file; false when the old file stayed (a write failed, or the
    // file there does not read as a favorites list).
    bool save() const;

  private:
    Parts p_;
};

}  // namespace kinvo
