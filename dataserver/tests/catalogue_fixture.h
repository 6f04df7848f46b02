#pragma once
// A small catalogue imported with the real importer and served by the real server on a free
// loopback port, for tests that talk to it with curl.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dataserver/tests/curl.h"
#include "dataserver/tests/list_reader.h"
#include "dataserver/tests/process.h"

namespace kinvo::ds::test {

// Columns: category,name,address,info,extra,bandwidth,time,seconds,rating,notes,tags
inline constexpr const char* kFixtureCsv =
    "category,name,address,info,extra,bandwidth,time,seconds,rating,notes,tags\n"
    "Music/Entertainment,Alpha Station,http://media.example/alpha.mov,Live,Big,300,Live,0,4,"
    "Loud and clear,rock loud\n"
    "Music/Entertainment,Beta Dial,http://media.example/beta.mp3,Talk,,56,1:05,65,,,talk\n"
    "Music/Entertainment,Gamma Mid,mms://media.example/gamma.wmv,0,0,80,,0,2,,mid\n"
    "Music/Entertainment,Delta Broad,http://media.example/delta.swf,Show,Wide,100,3:07,187,,"
    "Weekly show,broad show\n"
    "Music/Entertainment,Adult Night Owl,http://media.example/owl.qrx,Late,,150,Live,0,,,night\n"
    "Music Video,Video One,http://media.example/v1.wmv,Pop,,120,0:30,30,4,Nice clips,pop clips\n"
    "Music Video,Video Two,http://media.example/v2.mov,Rock,,32,0:40,40,,,rock clips\n"
    "News and Talk,Morning Paper,http://media.example/paper.mp3,News,,24,Live,0,,,news\n";

class CatalogueFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override { server_.reset(); }

    // Imports more playlists into the fixture's database (the server keeps serving it).
    Finished import(const std::vector<std::string>& args);

    HttpAnswer get(const std::string& target, const std::vector<std::string>& extra = {}) const {
        return curlGet(server_->url(target), extra);
    }
    HttpAnswer post(const std::string& target, const std::string& body) const {
        return curlPost(server_->url(target), body);
    }
    std::vector<ReadEntry> list(const std::string& category, const std::string& classEnding) const;

    virtual std::vector<std::string> serverOptions() const { return {"--quiet"}; }

    TempDir dir_;
    std::filesystem::path db_;
    std::unique_ptr<ServerProcess> server_;
};

}  // namespace kinvo::ds::test
