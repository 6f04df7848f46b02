#pragma once
// The catalogue requests: the category names, the category box, the choice of a category and
// the listing of its stations, from the server, from the run's cache file or from the favorites.
//
// Failures are not reported: a request that brings nothing lists nothing ("0 Items") and writes
// no cache file, so the next choice of that category asks the server again. A cache file that
// can't be read back is deleted and the category asked for anew.
// User-interface thread only; the listing lets window events run after every station.

#include "browser/core/catalogue_parser.h"

#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace kinvo {

class CatalogueView;
class CategoryBox;
class DocFetcher;
class Prompts;
class SettingsStore;
struct ProgramState;
struct StationLists;

// The value after "&T2=": blanks become "+", nothing else is escaped; empty for a category that
// is empty or starts with "_".
std::string categoryParameter(std::string_view category);

// The request ending for a connection class ("Speed", compared exactly).
std::string_view speedEnding(std::string_view speed);

// "http://" + dataServer + "/kinvo39.asp?P=T&T1=LIST_TV&T2=" + category parameter + ending +
// version.
std::string listRequest(std::string_view dataServer, std::string_view category,
                        std::string_view speed);

class Catalogue {
  public:
    struct Parts {
        ProgramState& state;
        DocFetcher& fetcher;
        SettingsStore& settings;
        StationLists& lists;
        CategoryBox& comboS;
        Prompts& prompts;
        CatalogueView& view;
        QString programFolder;
    };

    explicit Catalogue(Parts parts);

    // Lets pending window events run; QCoreApplication::processEvents unless replaced.
    void setEventPump(std::function<void()> pump) { letEventsRun_ = std::move(pump); }

    // Asks the server for the category names ("|"-separated) and returns the page GetDoc got.
    std::string FetchCategoryNames();
    // Fills comboS with the server's names and the three fixed entries; shows the fourth.
    void FillCategories();
    // The category box's click handler, also run after code sets the box's text.
    void ComboS_Click();
    // Lists category, the text ComboS_Click read from comboS.
    void LoadCategory(const std::string& category);
    // Reads a fetched page into the station lists, in the given mode. The events it lets run may
    // fetch again and overwrite documentText, so it works on its own copy of the page.
    void extract(std::string document, ExtractMode mode);

  private:
    bool listFromCache(const QString& cacheFile, bool sortByName);
    void listFromServer(const QString& cacheFile, const std::string& category);

    Parts p_;
    std::function<void()> letEventsRun_;
};

}  // namespace kinvo
