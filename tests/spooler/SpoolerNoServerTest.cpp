// Without an answering print server the spooler reports no printers, and never waits long.
#include "spooler/TestSpooler.h"

#include <qor/RuntimeError.h>
#include <qor/Spooler.h>

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace qor {
namespace {

using Clock = std::chrono::steady_clock;

// Points CUPS_SERVER at a local port for the duration of a test.
class SpoolerWithoutServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* saved = std::getenv("CUPS_SERVER")) saved_ = saved;
        pdf_ = test::MakeTestPdf(1);
    }
    void TearDown() override {
        if (listener_ >= 0) ::close(listener_);
        if (saved_.empty()) {
            ::unsetenv("CUPS_SERVER");
        } else {
            ::setenv("CUPS_SERVER", saved_.c_str(), 1);
        }
        cupsSetServer(nullptr);
        std::remove(pdf_.c_str());
    }

    // A bound local port; `listen` makes it accept connections that nobody answers.
    int BindLocalPort(bool listen) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        EXPECT_EQ(::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len), 0);
        if (listen) {
            EXPECT_EQ(::listen(listener_, 8), 0);
        }
        return ntohs(addr.sin_port);
    }

    void UseServer(int port) {
        ::setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
        cupsSetServer(nullptr);
    }

    std::string saved_;
    std::string pdf_;
    int listener_ = -1;
};

// Nothing listens on the port: every call answers "no printers" at once. The goal is well
// under a second (about a millisecond here); 5 s is only a guard against hanging.
TEST_F(SpoolerWithoutServer, ClosedPortMeansNoPrintersPromptly) {
    UseServer(BindLocalPort(false));
    Spooler& spooler = Spooler::Instance();
    const auto start = Clock::now();
    EXPECT_TRUE(spooler.Printers().empty());
    EXPECT_EQ(spooler.DefaultPrinter(), "");
    EXPECT_FALSE(spooler.HasPrinter("PrinterA"));
    EXPECT_TRUE(spooler.Trays("PrinterA").empty());
    EXPECT_FALSE(spooler.AcceptsBin("PrinterA", 7));
    EXPECT_FALSE(spooler.AcceptsCopies("PrinterA", 1));
    try {
        spooler.Submit("PrinterA", pdf_, JobOptions{});
        ADD_FAILURE() << "Submit without a server did not throw";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 482);
        EXPECT_STREQ(e.what(), "Printer \"PrinterA\" is not available: no print server answers");
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    RecordProperty("seconds", std::to_string(seconds));
    EXPECT_LT(seconds, 5.0);
}

// A server that takes the connection and never answers is given up on, not waited for.
TEST_F(SpoolerWithoutServer, SilentServerIsGivenUp) {
    UseServer(BindLocalPort(true));
    const auto start = Clock::now();
    EXPECT_TRUE(Spooler::Instance().Printers().empty());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    RecordProperty("seconds", std::to_string(seconds));
    EXPECT_LT(seconds, 30.0);
}

}  // namespace
}  // namespace qor
