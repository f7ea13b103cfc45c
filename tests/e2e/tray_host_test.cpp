// The shell's tray host ending under the running program and a new one starting: the icon is
// back within the refresher's period and a second; a host that then hangs does not keep the
// program from ending. Under Wine the new host is the test's own (see tray_host.h).
#include <gtest/gtest.h>

#include "resources/commands.h"
#include "shell/tray_icon.h"
#include "tests/support/e2e.h"
#include "tests/support/process_figures.h"
#include "tests/support/tray.h"
#include "tests/support/tray_host.h"

namespace {

using e2e::Program;

bool sendWake(HWND main) {
    DWORD_PTR reply = 0;
    return SendMessageTimeoutA(main, RegisterWindowMessageA("Vistrel"), 0, 0, SMTO_NORMAL, 10000,
                               &reply) != 0;
}

TEST(TrayHost, EndedAndStartedAgainGetsTheIconBackWithinSixSecondsAndHungLetsTheProgramEnd) {
    const DWORD sessionHost = e2e::trayHostProcessId();
    ASSERT_NE(sessionHost, 0u);
    e2e::TrayDesktop desktop;
    ASSERT_TRUE(desktop.valid());
    Program program;
    const bool ran = desktop.run(
        [&] {
            ASSERT_TRUE(program.start());
            HWND main = program.waitForMainWindow();
            ASSERT_NE(main, nullptr);
            ASSERT_TRUE(
                e2e::waitUntil([&] { return e2e::trayIconPresent(main, TRAY_ICON_ID); }, 10000));
            const DWORD host = e2e::trayHostProcessId();
            ASSERT_NE(host, sessionHost) << "the desktop has a tray host of its own";
            ASSERT_TRUE(e2e::endTrayHost(host));
            EXPECT_FALSE(e2e::trayIconPresent(main, TRAY_ICON_ID));
            // Without a host the refresher's calls fail; the program goes on answering.
            e2e::pumpFor(1000);
            DWORD_PTR reply = 0;
            EXPECT_NE(SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &reply), 0);

            e2e::StandInTrayHost newHost;
            ASSERT_TRUE(newHost.valid());
            EXPECT_TRUE(e2e::waitUntil([&] { return newHost.iconsOf(main) == 1; },
                                       kTrayRefreshPeriodMs + 10000));
            EXPECT_TRUE(e2e::trayIconPresent(main, TRAY_ICON_ID));

            // A second start's wake handled while the program awaits the host's answer to the
            // icon's addition: still one icon and one refresher (its thread and stop event are
            // the handles a second one would add).
            ASSERT_TRUE(sendWake(main));
            ASSERT_TRUE(program.handledAllPosted());
            const e2e::ProcessFigures before =
                e2e::processFigures(program.process(), program.processId());
            newHost.sendToOwnerAtNextAdd(RegisterWindowMessageA("Vistrel"));
            ASSERT_TRUE(sendWake(main));
            // The wake's magnify and re-add are posted: both are handled before the marker.
            ASSERT_TRUE(program.handledAllPosted());
            EXPECT_EQ(newHost.iconsOf(main), 1u);
            const e2e::ProcessFigures after =
                e2e::processFigures(program.process(), program.processId());
            // A second refresher would add its thread and stop event; the system may meanwhile
            // drop a handle of its own (seen once in ten runs), which is no fault of the program.
            EXPECT_LE(after.handles, before.handles);
            EXPECT_EQ(after.threads, before.threads);
            EXPECT_TRUE(program.running());

            // The host loses the icon and hangs in the refresher's next call; a second start's
            // wake and the exit command arrive meanwhile. The program ends within the bound of
            // the refresher's stop, and nothing adds the icon again.
            ASSERT_TRUE(e2e::deleteTrayIcon(main, TRAY_ICON_ID));
            newHost.hangAtNextCall(
                [](HWND owner) {
                    PostMessageA(owner, RegisterWindowMessageA("Vistrel"), 0, 0);
                    PostMessageA(owner, WM_COMMAND, CMD_EXIT, 0);
                },
                program.process(), 30000);
            EXPECT_TRUE(e2e::waitUntil([&] { return !program.running(); }, 40000));
            EXPECT_TRUE(newHost.hangEndedBySignal()) << "the program ended while the host hung";
            EXPECT_EQ(newHost.addsAfterHang(), 0u);
        },
        120000);
    EXPECT_TRUE(ran);
    EXPECT_EQ(e2e::trayHostProcessId(), sessionHost) << "the test session's tray is untouched";
}

}  // namespace
