// The table of best flights: its text, its order, and the file on disk (a damaged or
// unknown one set aside with one line, a write that fails with one line, the recordings
// of flights that leave it removed, and two games writing at once both kept).
#include "app/best_flights.h"
#include "app/best_flights_file.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <dirent.h>

#include "tests/app/flight_row.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

const std::string kHead = std::string(kBestFlightsVersionLine) + "\n";

TEST(BestFlightsTest, TextRoundTripsAndReadsAsAPersonWouldWriteIt) {
    BestFlights t;
    t.rows = {Row(2341, 2, 1, 0, "flight-a.orvr"), Row(1200, 0, 0, 3)};
    const std::string text = FormatBestFlights(t);
    EXPECT_NE(text.find("23.41 2 1 0 2026-12-11 06:01 flight-a.orvr\n"), std::string::npos) << text;
    EXPECT_NE(text.find("12.00 0 0 3 2026-12-11 06:01 -\n"), std::string::npos) << text;
    BestFlights back;
    std::string why;
    ASSERT_TRUE(ParseBestFlights(text, &back, &why)) << why;
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_EQ(back.rows[0].score.hundredths, 2341);
    EXPECT_EQ(back.rows[0].score.catches, 3);
    EXPECT_EQ(back.rows[0].recording, "flight-a.orvr");
    EXPECT_EQ(back.rows[1].recording, "");
    EXPECT_EQ(back.rows[1].collected[2], 3);
    // Windows line ends, as an editor there may leave them, read the same.
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_TRUE(ParseBestFlights(crlf, &back, &why)) << why;
    EXPECT_EQ(back.rows.size(), 2u);
}

TEST(BestFlightsTest, AFileThatIsNotATableOfThisVersionIsNotReadAtAll) {
    const std::string row = "12.00 0 0 3 2026-12-11 06:01 -\n";
    struct Case {
        const char* name;
        std::string text;
        const char* why;
    };
    std::string eleven = kHead;
    for (int i = 0; i < 11; ++i) eleven += row;
    const Case cases[] = {
        {"empty", "", "empty"},
        {"unknown version", "orvendale best flights, version 2\n" + row, "another version"},
        {"foreign", "hello\n" + row, "first line"},
        {"junk row", kHead + row + "12.00 zero 0 3 2026-12-11 06:01 -\n", "line 3"},
        {"one decimal", kHead + "12.0 0 0 3 2026-12-11 06:01 -\n", "line 2"},
        {"extra field", kHead + "12.00 0 0 3 2026-12-11 06:01 - x\n", "line 2"},
        {"bad date", kHead + "12.00 0 0 3 2026-12-1 06:01 -\n", "line 2"},
        {"a path for a recording", kHead + "12.00 0 0 3 2026-12-11 06:01 ../x.orvr\n", "line 2"},
        {"not a recording", kHead + "12.00 0 0 3 2026-12-11 06:01 Settings.ini\n", "line 2"},
        {"out of order", kHead + row + "13.00 0 0 3 2026-12-11 06:01 -\n", "out of order"},
        {"eleven flights", eleven, "more than 10"},
    };
    for (const Case& c : cases) {
        BestFlights t;
        t.rows.push_back(Row(1, 0, 0, 0));
        std::string why;
        EXPECT_FALSE(ParseBestFlights(c.text, &t, &why)) << c.name;
        EXPECT_NE(why.find(c.why), std::string::npos) << c.name << ": " << why;
        EXPECT_TRUE(t.rows.empty()) << c.name;
    }
}

TEST(BestFlightsTest, ElevenFlightsKeepTheTenBestAndTiesGoToMoreCatches) {
    BestFlights t;
    std::vector<FlightRow> dropped;
    // Scores 100..1000 in a shuffled order, then an eleventh in the middle.
    const int order[10] = {5, 1, 9, 3, 7, 10, 2, 8, 4, 6};
    for (int k : order) EXPECT_GE(InsertFlight(&t, Row(k * 100, 0, 0, 0), &dropped), 0);
    EXPECT_TRUE(dropped.empty());
    EXPECT_EQ(InsertFlight(&t, Row(550, 1, 0, 0), &dropped), 5);
    ASSERT_EQ(t.rows.size(), 10u);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].score.hundredths, 100);
    for (size_t i = 1; i < t.rows.size(); ++i)
        EXPECT_FALSE(RanksAbove(t.rows[i].score, t.rows[i - 1].score)) << i;
    // The same score: more catches above, as many catches below the earlier flight.
    EXPECT_EQ(InsertFlight(&t, Row(800, 0, 2, 0), &dropped), 2);
    EXPECT_EQ(InsertFlight(&t, Row(800, 0, 0, 0), &dropped), 4);
    // Ten better flights: this one does not enter and nothing leaves.
    dropped.clear();
    EXPECT_EQ(InsertFlight(&t, Row(200, 9, 9, 9), &dropped), -1);
    EXPECT_TRUE(dropped.empty());
    EXPECT_EQ(t.rows.size(), 10u);
}

// A folder of its own for each test, taken away after it.
class ScratchFolder {
public:
    ScratchFolder() {
        char name[] = "/tmp/orvendale-table-XXXXXX";
        if (mkdtemp(name) != nullptr) path_ = name;
    }
    ~ScratchFolder() {
        for (const std::string& n : List()) std::remove((path_ + "/" + n).c_str());
        rmdir(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    std::vector<std::string> List() const {
        std::vector<std::string> names;
        DIR* d = opendir(path_.c_str());
        if (d == nullptr) return names;
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
        return names;
    }

private:
    std::string path_;
};

class BestFlightsFileTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    void SetUp() override { ASSERT_FALSE(folder.Path().empty()); }
    std::string Dir() const { return folder.Path() + "/"; }
    std::string Table() const { return Dir() + kBestFlightsFile; }
    std::vector<std::string> Aside() const {
        std::vector<std::string> names;
        for (const std::string& n : folder.List())
            if (n.rfind("best_flights.damaged-", 0) == 0) names.push_back(n);
        return names;
    }
};

TEST_F(BestFlightsFileTest, TheFirstFlightStartsTheTableWhole) {
    const FlightEntry e = EnterFlight(Dir(), Row(1234, 1, 0, 0, "flight-1.orvr"));
    EXPECT_EQ(e.rank, 0);
    EXPECT_TRUE(e.newBest);
    EXPECT_TRUE(e.written);
    EXPECT_TRUE(e.notes.empty());
    EXPECT_EQ(ReadText(Table()), kHead + "# score  atoms flowers fractals  date time  recording\n" +
                                     "12.34 1 0 0 2026-12-11 06:01 flight-1.orvr\n");
    // Nothing half-written is left beside it.
    for (const std::string& n : folder.List()) EXPECT_EQ(n.find(".tmp"), std::string::npos) << n;
    const FlightEntry second = EnterFlight(Dir(), Row(1000, 0, 0, 0));
    EXPECT_EQ(second.rank, 1);
    EXPECT_FALSE(second.newBest);
    EXPECT_EQ(ReadBestFlights(Dir()).rows.size(), 2u);
}

TEST_F(BestFlightsFileTest, ADamagedOrUnknownTableIsSetAsideWithOneLine) {
    const std::string cases[] = {
        kHead + "12.00 0 0 3 2026-12-11 06:01 -\ngarbage\n",
        "orvendale best flights, version 9\n12.00 0 0 3 2026-12-11 06:01 -\n",
    };
    for (const std::string& text : cases) {
        for (const std::string& n : Aside()) std::remove((Dir() + n).c_str());
        WriteText(Table(), text);
        const FlightEntry e = EnterFlight(Dir(), Row(500, 0, 0, 0));
        ASSERT_EQ(e.notes.size(), 1u) << text;
        EXPECT_NE(e.notes[0].find("cannot be read"), std::string::npos) << e.notes[0];
        const std::vector<std::string> aside = Aside();
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_NE(e.notes[0].find(aside[0]), std::string::npos) << "the line names where it went";
        EXPECT_EQ(ReadText(Dir() + aside[0]), text) << "set aside whole, as it was";
        EXPECT_TRUE(e.written);
        ASSERT_EQ(e.table.rows.size(), 1u) << "a new table, with this flight alone";
        EXPECT_EQ(ReadBestFlights(Dir()).rows.size(), 1u);
        std::remove(Table().c_str());
    }
}

TEST_F(BestFlightsFileTest, ATableThatCannotBeWrittenCostsOneLine) {
    const std::string missing = Dir() + "no/such/folder/";
    const FlightEntry e = EnterFlight(missing, Row(500, 0, 0, 0));
    EXPECT_FALSE(e.written);
    EXPECT_EQ(e.rank, 0) << "the results still show where it would stand";
    ASSERT_EQ(e.notes.size(), 1u);
    EXPECT_NE(e.notes[0].find("cannot be written"), std::string::npos) << e.notes[0];
}

TEST_F(BestFlightsFileTest, AFlightThatLeavesTheTableTakesItsRecordingWithIt) {
    for (int i = 1; i <= 10; ++i) {
        const std::string name = "flight-" + std::to_string(i) + ".orvr";
        WriteText(Dir() + name, "replay");
        ASSERT_TRUE(EnterFlight(Dir(), Row(i * 100, 0, 0, 0, name)).written);
    }
    WriteText(Dir() + "flight-11.orvr", "replay");
    const FlightEntry e = EnterFlight(Dir(), Row(5000, 0, 0, 0, "flight-11.orvr"));
    EXPECT_TRUE(e.newBest);
    EXPECT_FALSE(Exists(Dir() + "flight-1.orvr")) << "the lowest left, with its file";
    for (int i = 2; i <= 11; ++i)
        EXPECT_TRUE(Exists(Dir() + "flight-" + std::to_string(i) + ".orvr")) << i;
    // The last flight: moved when the table does not name it, copied when it does.
    std::string why;
    ASSERT_TRUE(KeepAsLastFlight(Dir(), "flight-11.orvr", true, &why)) << why;
    EXPECT_TRUE(Exists(Dir() + "flight-11.orvr"));
    WriteText(Dir() + "flight-12.orvr", "last");
    ASSERT_TRUE(KeepAsLastFlight(Dir(), "flight-12.orvr", false, &why)) << why;
    EXPECT_FALSE(Exists(Dir() + "flight-12.orvr"));
    EXPECT_EQ(ReadText(Dir() + kLastFlightFile), "last");
}

TEST_F(BestFlightsFileTest, GamesEndingAtOnceKeepEveryRow) {
    // Eight games, each ending five flights as fast as it can, all released at once:
    // the table must hold the ten best of the forty.
    const int kGames = 8, kFlights = 5;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (int g = 0; g < kGames; ++g) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(gate[1]);
            char c;
            while (read(gate[0], &c, 1) > 0) {
            }
            for (int f = 0; f < kFlights; ++f) EnterFlight(Dir(), Row(1000 + f * kGames + g, 0, 0, 0));
            _exit(0);
        }
        children.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);  // every child sees the end of the pipe at once
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const BestFlights t = ReadBestFlights(Dir());
    ASSERT_EQ(t.rows.size(), 10u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(t.rows[i].score.hundredths, 1039 - i) << i;
    EXPECT_TRUE(Aside().empty()) << "no game saw a half-written table";
}

}  // namespace
