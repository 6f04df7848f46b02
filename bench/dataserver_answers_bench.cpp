// The data server's catalogue answers without HTTP, on catalogues of 10,000 and 100,000
// stations in 50 categories: a search for a common word and a category list built from SQLite
// (what a request costs when its answer is not kept), and the same requests answered from
// memory (the change counters' read, the lease and the lookup).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>

#include "bench/synthetic_catalogue.h"
#include "dataserver/importers/importer.h"
#include "dataserver/server/cached_answers.h"
#include "dataserver/server/catalogue_answers.h"
#include "dataserver/store/schema.h"

namespace kinvo::ds {
using namespace kinvo::bench;

namespace {

namespace fs = std::filesystem;

// One catalogue per size, made on first use and removed at exit.
struct Served {
    fs::path dir;
    std::unique_ptr<ConnectionPool> pool;
    std::unique_ptr<StartCounter> starts;
    std::unique_ptr<CachedAnswers> answers;
    ~Served() {
        answers.reset();
        starts.reset();
        pool.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Served& served(int stations) {
    static std::map<int, std::unique_ptr<Served>> all;
    auto& s = all[stations];
    if (s) {
        return *s;
    }
    s = std::make_unique<Served>();
    s->dir = fs::temp_directory_path() /
             ("kinvo-answers-bench-" + std::to_string(getpid()) + "-" + std::to_string(stations));
    fs::create_directories(s->dir);
    fs::path csv = s->dir / "catalogue.csv";
    writeCatalogue(csv, stations);
    std::string db = (s->dir / "catalogue.db").string();
    {
        Database writer = openCatalogue(db, Database::Mode::ReadWriteCreate);
        importFiles(writer, {csv.string()}, ImportOptions{});
    }
    s->pool = std::make_unique<ConnectionPool>(db, 2);
    s->starts = std::make_unique<StartCounter>(db, std::chrono::seconds(1), nullptr);
    s->answers = std::make_unique<CachedAnswers>(*s->pool, *s->starts, ServerSettings{});
    return *s;
}

const Query kSearch = Query::parse("P=T&SEARCH=1&T1=rock&V=3.9");
const Query kList = Query::parse("P=T&T1=LIST_TV&T2=Category+7&V=3.9");

void BM_SearchBuilt(benchmark::State& state) {
    Served& s = served(static_cast<int>(state.range(0)));
    auto db = s.pool->acquire();
    for (auto _ : state) {
        benchmark::DoNotOptimize(searchAnswer(*db, kSearch, ServerSettings{}));
    }
}

void BM_ListBuilt(benchmark::State& state) {
    Served& s = served(static_cast<int>(state.range(0)));
    auto db = s.pool->acquire();
    for (auto _ : state) {
        benchmark::DoNotOptimize(listAnswer(*db, kList, ServerSettings{}));
    }
}

void BM_SearchKept(benchmark::State& state) {
    Served& s = served(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.answers->answer(kSearch, 0));
    }
}

void BM_ListKept(benchmark::State& state) {
    Served& s = served(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.answers->answer(kList, 0));
    }
}

BENCHMARK(BM_SearchBuilt)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListBuilt)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchKept)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListKept)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kinvo::ds
