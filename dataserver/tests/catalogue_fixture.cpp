#include "dataserver/tests/catalogue_fixture.h"

namespace kinvo::ds::test {

void CatalogueFixture::SetUp() {
    db_ = dir_.path() / "catalogue.db";
    auto csv = dir_.write("fixture.csv", kFixtureCsv);
    Finished f = import({csv.string()});
    ASSERT_EQ(f.status, 0) << f.err;
    server_ = std::make_unique<ServerProcess>(db_, serverOptions());
}

Finished CatalogueFixture::import(const std::vector<std::string>& args) {
    std::vector<std::string> argv{dataServerBinary(), "import", "--db", db_.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv);
}

std::vector<ReadEntry> CatalogueFixture::list(const std::string& category,
                                              const std::string& classEnding) const {
    std::string t2;
    for (char c : category) {
        t2 += c == ' ' ? '+' : c;
    }
    HttpAnswer a = get("/kinvo39.asp?P=T&T1=LIST_TV&T2=" + t2 + classEnding);
    EXPECT_EQ(a.status, 200);
    return readList(a.body, false);
}

}  // namespace kinvo::ds::test
