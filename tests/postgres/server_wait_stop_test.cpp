// The programs that write to the server stop at once on Ctrl+C (SIGINT) while the server keeps them
// waiting, and leave nothing: the signal ends the session's wait instead of being seen only once the
// server answers. The wait is real: this test makes a table of the program's table's name and keeps
// it uncommitted, and the program's own CREATE TABLE waits for that transaction to end.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/postgres/postgres_fixture.h"
#include "tests/support/server_text.h"

namespace rowlark::postgres::testing {
namespace {

class ServerWaitStop : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (IsSkipped()) return;
        watcher_.reset(PQconnectdb(ServerConnectionString().c_str()));
        ASSERT_EQ(PQstatus(watcher_.get()), CONNECTION_OK) << PQerrorMessage(watcher_.get());
        application_ = "rowlark_stop_" + std::to_string(::getpid());
    }
    void TearDown() override {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        if (held_) Try("ROLLBACK");
        PgTest::TearDown();
    }
    // The test's schema, no lock wait given up, the program's session named so the test finds it.
    std::string Target() {
        return test_support::WithServerParameters(
            ServerConnectionString(),
            {{"options", "-c search_path=" + schema() + ",public -c lock_timeout=0"}, {"application_name", application_}});
    }
    // Holds a table of that name in a transaction left open: the program's CREATE TABLE must wait.
    void HoldTableName(const std::string& table) {
        Exec("BEGIN");
        Exec("CREATE TABLE \"" + table + "\" (held integer)");
        held_ = true;
    }
    // Starts the program with its stopping signals at their defaults; its standard error goes to a pipe.
    void Start(const std::vector<std::string>& argv) {
        int pipe_ends[2];
        ASSERT_EQ(pipe(pipe_ends), 0);
        child_ = fork();
        ASSERT_GE(child_, 0);
        if (child_ == 0) {
            for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) signal(signal_number, SIG_DFL);
            const int nothing = open("/dev/null", O_RDWR);
            dup2(nothing, STDIN_FILENO);
            dup2(nothing, STDOUT_FILENO);
            dup2(pipe_ends[1], STDERR_FILENO);
            std::vector<char*> args;
            for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(pipe_ends[1]);
        errors_ = pipe_ends[0];
    }
    // Waits until the program's session waits for a lock; false when the program ended first.
    bool WaitingForTheLock() {
        const std::string sql = "SELECT count(*) FROM pg_stat_activity WHERE application_name = '" + application_ +
                                "' AND wait_event_type = 'Lock'";
        for (;;) {
            Result seen(PQexec(watcher_.get(), sql.c_str()));
            if (PQresultStatus(seen.get()) != PGRES_TUPLES_OK) return false;
            if (std::string(PQgetvalue(seen.get(), 0, 0)) == "1") return true;
            if (waitpid(child_, &status_, WNOHANG) == child_) {
                child_ = 0;
                return false;
            }
            usleep(20000);  // the interval between looks, not a wait for anything
        }
    }
    // Interrupts the waiting program and waits for its end; its standard error.
    std::string Interrupt() {
        kill(child_, SIGINT);
        waitpid(child_, &status_, 0);
        child_ = 0;
        std::string text;
        char chunk[512];
        for (ssize_t got; (got = read(errors_, chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<std::size_t>(got));
        close(errors_);
        return text;
    }
    void ExpectEndedAsTheSignalWould() {
        EXPECT_TRUE(WIFSIGNALED(status_) && WTERMSIG(status_) == SIGINT) << "status " << status_;
    }
    // Tables and tags of the test's schema, once the held table is gone.
    std::string LeftBehind() {
        Exec("ROLLBACK");
        held_ = false;
        return Exec("SELECT (SELECT count(*) FROM pg_tables WHERE schemaname = $1) + (SELECT count(*)"
                    " FROM rowlark_index_tags WHERE table_schema = $1)", {schema()})[0][0];
    }

    Connection watcher_;
    bool held_ = false;  // the test's transaction holding the table name is open
    std::string application_;
    pid_t child_ = 0;
    int errors_ = -1;
    int status_ = 0;
};

TEST_F(ServerWaitStop, AnImportWaitingOnTheServerStopsAtCtrlCAndWritesNothing) {
    HoldTableName("cp1251");
    Start({IMPORT_PATH, ROWLARK_FOXPRO_DATA "/cp1251.dbf", Target()});
    ASSERT_TRUE(WaitingForTheLock()) << "the import ended before it waited";
    const std::string errors = Interrupt();
    ExpectEndedAsTheSignalWould();
    EXPECT_NE(errors.find("interrupted; nothing written"), std::string::npos) << errors;
    EXPECT_EQ(LeftBehind(), "0");
}

TEST_F(ServerWaitStop, MakeSampleDbWaitingOnTheServerStopsAtCtrlCAndWritesNothing) {
    HoldTableName("goods");
    Start({MAKE_SAMPLE_DB_PATH, Target(), "50"});
    ASSERT_TRUE(WaitingForTheLock()) << "make_sample_db ended before it waited";
    const std::string errors = Interrupt();
    ExpectEndedAsTheSignalWould();
    EXPECT_NE(errors.find("interrupted"), std::string::npos) << errors;
    EXPECT_EQ(LeftBehind(), "0");
}

}  // namespace
}  // namespace rowlark::postgres::testing
