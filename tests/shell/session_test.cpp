// The shell's loop with a fake world, a fake window and a fake clock: best score, the submission offer, the
// order of the dialogs, F1, the menu commands, the game standing still, the register outcomes and what they
// do to the score, the play time and quitting.
#include "fake_world.h"
#include "net/score_submission.h"
#include "replay/replay_codec.h"
#include "shell/game_session.h"
#include "shell/info_texts.h"
#include "shell/menu.h"
#include "shell/menu_state.h"
#include "shell/replay_files.h"
#include "shell/replay_viewer.h"
#include "temp_dir.h"

#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/silent_audio.h"
#include "resources/embedded_resources.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace tundrix {
namespace {

using headless::FakeClock;
using Opened = std::vector<std::string>;

// A world whose score, game-over state and title the test sets, and which adds up the time held.
struct FakeWorld : test::FakeWorld {
    void holdClock(uint32_t ms) override { heldMs += ms; }
    bool onTitle() const override { return title; }
    bool title = true;
    uint32_t heldMs = 0;
};

// The window without a window: records which dialogs open and answers them as scripted.
struct Shell : ShellWindow {
    explicit Shell(WebPages pages = WebPages{})
        : session{clock, tally, makeWorld(), scoreOf, std::move(pages), [this] { return logs.back(); }} {
        pass(); // the first frame of the run
        session.makeViewer = [this](Replay replay) {
            return std::make_unique<ReplayViewer>(std::move(replay), resources, audio, video, clock);
        };
    }

    FakeClock clock{5000};
    uint32_t stored = 70000; // the play time in the store
    PlayTimeTally tally{clock, stored, [this](uint32_t ms) { return std::optional<uint32_t>(stored += ms); }};
    std::vector<FakeWorld*> worlds;
    std::vector<std::shared_ptr<ReplayLog>> logs;
    FrameDriver::WorldFactory makeWorld() {
        return [this](const AngleTables&) {
            auto w = std::make_unique<FakeWorld>();
            worlds.push_back(w.get());
            // Each world's recording, told apart by the number it carries.
            logs.push_back(
                std::make_shared<ReplayLog>(ReplayBuild{static_cast<int32_t>(worlds.size()), 0, 0}));
            logs.back()->start({}, 0);
            logs.back()->reading(clock.nowMs());
            // A game world clears the tamper flag as it is built.
            tamperFlag = false;
            return w;
        };
    }
    static GuardedCounter* scoreOf(World& w) { return &static_cast<FakeWorld&>(w).score; }
    GameSession session;
    Opened opened, urls;
    std::vector<int> windowCommands;
    bool submitAnswer = false, closeWindowInRegister = false, f1 = false, held = false, closed = false;
    int playAgainAnswer = -1; // -1: put away with the close box
    int command = 0;          // chosen in the menu on the next pass
    uint32_t dialogMs = 0;    // how long each dialog stays open

    // Notes the dialog, keeps it open for dialogMs and gives the scripted answer.
    template <class Answer> Answer opens(const std::string& dialog, Answer answer) {
        opened.push_back(dialog);
        clock.advance(dialogMs);
        return answer;
    }
    void askToSubmit() override { session.answerSubmitQuestion(opens("question", submitAnswer)); }
    void registerScore() override {
        if (opens("register", closeWindowInRegister)) session.requestQuit();
        session.cancelRegister();
    }
    void showInformation(int index) override {
        opens("info " + std::to_string(index), 0);
        session.closeInformation();
    }
    void askToPlayAgain() override {
        if (opens("again", playAgainAnswer) >= 0) session.answerPlayAgain(playAgainAnswer == 1);
    }
    // Replays: the confirmation answered as scripted, the replay played to its end or its first mismatch
    // (these fake recordings part from the real game at once), the path typed or dropped.
    bool showsReplays() const override { return replays; }
    bool confirmEndGame() override { return opens("confirm", confirmAnswer); }
    void playBack(ReplayViewer& viewer) override {
        worldsDuringReplay.push_back(opens("replay", session.driver() != nullptr));
        while (viewer.advance())
            clock.advance(40);
        tamperFlag = !tamperFlag; // whatever the replayed game did to it
        if (closeWindowInReplay) session.requestQuit();
    }
    std::string askForReplayFile() override { return opens("open", typedPath); }
    void tell(const std::string&, const std::string& text) override { told.push_back(opens("tell", text)); }
    std::string takeDroppedFile() override { return std::exchange(dropped, {}); }
    EmbeddedResources resources;
    headless::SilentAudio audio;
    headless::RecordingVideo video;
    bool replays = true, confirmAnswer = true, closeWindowInReplay = false;
    std::vector<bool> worldsDuringReplay;
    std::string typedPath, dropped;
    std::vector<std::string> told;

    bool holding() const override { return held; }
    int paintMenus() override { return std::exchange(command, 0); }
    bool restartKeyDown() override { return f1; }
    void runWindowCommand(int c) override { windowCommands.push_back(c); }
    void openUrl(const std::string& url) override { urls.push_back(url); }
    bool handleEvents(bool) override { return !closed; }

    FakeWorld& world() { return *worlds.back(); }
    bool pass() { return loopPass(session, *this); }
    bool choose(int menuCommand) {
        command = menuCommand;
        return pass();
    }
    // Runs the command the pass before and the dialogs it asked for.
    void runs(int menuCommand) {
        choose(menuCommand);
        pass();
    }
    void leaveTitle() {
        world().title = false;
        pass();
    }
    void endGameWith(int score) {
        world().score.set(score);
        world().over = true, world().count = 0;
        pass(); // the step that sees the end raises gameOverReached
    }
};

TEST(GameSession, OffersEachNewBestScoreOnceAfterTheGameEnds) {
    Shell s;
    // A best of 0 asks nothing, the same best again is not offered, a better one is.
    const std::pair<int, Opened> games[] = {
        {0, {"again"}}, {120, {"question", "again"}}, {120, {"again"}}, {130, {"question", "again"}}};
    int best = 0;
    for (const auto& [score, expected] : games) {
        s.opened.clear();
        s.endGameWith(score);
        s.pass();
        s.pass();
        EXPECT_EQ(s.opened, expected) << "a game ending with " << score;
        best = std::max(best, score);
        s.runs(CMD_NEW_GAME);
        EXPECT_EQ(s.session.bestScore.get(), best) << "the best survives a new game";
    }
}

TEST(GameSession, DialogsOpenInOrderOnceEachAndNoneAfterTheWindowCloses) {
    for (bool closeWindow : {false, true}) {
        Shell s;
        s.submitAnswer = true; // yes opens the register dialog in the same pass
        s.closeWindowInRegister = closeWindow;
        s.endGameWith(300);
        s.session.runCommand(CMD_COMPETITION_RULES); // information asked for as the game ends
        s.opened.clear();
        EXPECT_EQ(s.pass(), !closeWindow);
        s.pass(); // each request is met once, the play-again question comes once per game over
        const Opened expected =
            closeWindow ? Opened{"question", "register"} : Opened{"question", "register", "info 1", "again"};
        EXPECT_EQ(std::pair(s.opened, s.session.quitRequested()), std::pair(expected, closeWindow));
    }
}

TEST(GameSession, F1RestartsOnEveryFrameItIsHeld) {
    // F1 as each pass sees it, then the worlds built so far: a pass with it held has the next one build
    // afresh.
    Shell s;
    for (auto [f1, worlds] : {std::pair{true, 1u}, {true, 2u}, {true, 3u}, {false, 4u}, {false, 4u}}) {
        s.f1 = f1;
        s.pass();
        EXPECT_EQ(s.worlds.size(), worlds);
    }
}

TEST(GameSession, MenuCommandsOpenDialogsPagesOrTheWindowsOwnAction) {
    Shell s;
    // clang-format off
    const std::pair<int, int> infos[] = {{CMD_RULES, 0}, {CMD_COMPETITION_RULES, 1}, {CMD_ABOUT, 2},
                                         {CMD_ABOUT_ENGLISH, 3}, {CMD_HOW_TO_PLAY, 4}};
    // clang-format on
    for (auto [command, index] : infos) {
        s.opened.clear();
        s.runs(command);
        EXPECT_EQ(s.opened, Opened{"info " + std::to_string(index)}) << command;
    }

    s.opened.clear();
    s.runs(CMD_REGISTER);
    EXPECT_TRUE(s.opened.empty()) << "nothing to register before the game is over";
    s.endGameWith(0);
    s.pass();
    s.runs(CMD_REGISTER);
    EXPECT_EQ(s.opened, (Opened{"again", "register"}));

    for (int command :
         {int(CMD_CHALLENGE), int(CMD_CHANNEL_SITE), int(CMD_BRAND_SITE), int(CMD_NOTHING), 12345})
        EXPECT_TRUE(s.choose(command)) << command;
    EXPECT_EQ(s.urls, (Opened{"http://www.lumora.se/useradm/challenge/", "http://www.lumora.se/",
                              "http://www.tundrix.se/"}));
    const std::vector<int> windowCommands{CMD_ZOOM_1,      CMD_ZOOM_2, CMD_ZOOM_3, CMD_PAUSE,
                                          CMD_FULL_SCREEN, CMD_VOLUME, CMD_MUTE};
    for (int command : windowCommands)
        s.choose(command);
    EXPECT_EQ(s.windowCommands, windowCommands) << "the window's own, volume and mute among them";
    EXPECT_FALSE(s.choose(CMD_QUIT)) << "quitting ends the loop";
}

TEST(GameSession, NothingRunsWhileHeldAndThePeriodClockLeavesOutHeldAndDialogTime) {
    Shell s;
    s.pass();
    s.pass();
    // A menu open (or the game paused) for five seconds: no frame, and then no burst of catch-up frames.
    s.held = true;
    s.pass(); // the hold starts here
    const int updates = s.world().updates, draws = s.world().draws;
    for (int i = 0; i < 125; ++i) {
        s.clock.advance(40);
        s.pass();
    }
    EXPECT_EQ(s.world().updates, updates);
    EXPECT_EQ(s.world().heldMs, 0u) << "left out once, when the hold ends";
    s.held = false;
    s.pass();
    s.pass();
    EXPECT_EQ(std::pair(s.world().heldMs, s.world().updates), std::pair(5000u, updates + 2));
    EXPECT_EQ(s.world().draws, draws + 1) << "the schedule starts again from now: no burst of frames";

    // A dialog opened during play is left out too, and as it closes (or the register dialog is cancelled) the
    // schedule starts again; one chosen from an open menu is counted once.
    s.dialogMs = 3000;
    s.choose(CMD_RULES);
    for (const bool cancel : {false, true}) {
        const int before = s.world().draws;
        if (cancel) {
            s.clock.advance(5000); // the register dialog stayed open for five seconds
            s.session.cancelRegister();
        }
        s.pass(); // due at once: updates without drawing
        s.pass();
        EXPECT_EQ(s.world().draws, before + 1) << (cancel ? "cancel" : "close") << ": no catch-up burst";
    }
    EXPECT_EQ(s.world().heldMs, 8000u);
    s.held = true;
    s.choose(CMD_HOW_TO_PLAY);
    s.clock.advance(1000);
    s.held = false; // the menu closed when its item was chosen
    s.pass();
    EXPECT_EQ(s.world().heldMs, 12000u);
}

TEST(MenuBar, SwedishMenusSpacersAndTheEnglishMenuInOrder) {
    const std::vector<MenuPopup> bar = menuBar(WebPages{}.channelHost());
    std::vector<std::string> labels;
    std::set<int> commands;
    for (const MenuPopup& p : bar) {
        labels.push_back(p.label);
        for (const MenuEntry& e : p.items)
            if (!e.separator()) commands.insert(e.command);
    }
    EXPECT_EQ(labels,
              (std::vector<std::string>{"Spel", "Tävling", "Koppla upp", " ", "", "In English", "More"}));
    EXPECT_EQ(std::tuple(bar[3].spacer(), bar[4].spacer()), std::tuple(true, true));
    // Items by place: the visit names the channel's own host when none is set; both menus end with the volume
    // (shown with the step in use) and mute; the best games and the two settings follow the competition in
    // Swedish and make a last menu of their own in English.
    // clang-format off
    const std::tuple<size_t, size_t, const char*> placed[] = {
        {0, 0, "Starta nytt spel (F1)"}, {0, 4, "Paus (P)"}, {2, 1, "Utmana dina vänner"}, {5, 4, "Visit www.lumora.se"},
        {5, 6, "Pause (P)"}, {0, 9, "Ljud"}, {0, 10, "Tyst (M)"}, {5, 11, "Sound"}, {5, 12, "Mute (M)"}};
    // clang-format on
    for (const auto& [menu, item, label] : placed)
        EXPECT_EQ(bar[menu].items[item].label, label);
    for (const MenuPopup& p : {bar[0], bar[5]})
        EXPECT_EQ(p.items.back().command, CMD_MUTE);
    for (const MenuPopup& p : {bar[1], bar[6]}) {
        ASSERT_GE(p.items.size(), 3u);
        EXPECT_EQ((std::tuple{p.items[p.items.size() - 3].command, p.items[p.items.size() - 2].command,
                              p.items.back().command}),
                  (std::tuple{CMD_BEST_GAMES, CMD_EASIER, CMD_FOCUS_PAUSE}));
    }
    EXPECT_EQ(commands,
              (std::set<int>{CMD_NEW_GAME,     CMD_RULES,          CMD_QUIT,           CMD_COMPETITION_RULES,
                             CMD_ABOUT,        CMD_REGISTER,       CMD_CHALLENGE,      CMD_BRAND_SITE,
                             CMD_CHANNEL_SITE, CMD_HOW_TO_PLAY,    CMD_ABOUT_ENGLISH,  CMD_BEST_GAMES,
                             CMD_PAUSE,        CMD_ZOOM_1,         CMD_ZOOM_2,         CMD_ZOOM_3,
                             CMD_FULL_SCREEN,  CMD_VOLUME,         CMD_MUTE,           CMD_EASIER,
                             CMD_FOCUS_PAUSE,  CMD_PLAY_LAST_GAME, CMD_SAVE_LAST_GAME, CMD_OPEN_REPLAY}));
    EXPECT_EQ(std::pair(zoomOfCommand(CMD_ZOOM_2), zoomOfCommand(CMD_NEW_GAME)), std::pair(2, 0));

    // A build without views for the player's settings offers none of them, and no menu ends in a line.
    const std::vector<MenuPopup> fewer = menuBar(WebPages{}.channelHost(), MenuSet::WithoutPlayerSettings);
    ASSERT_EQ(fewer.size(), bar.size() - 1);
    for (const MenuPopup& p : fewer) {
        EXPECT_FALSE(!p.spacer() && p.items.back().separator()) << p.label;
        for (const MenuEntry& e : p.items)
            EXPECT_TRUE(e.command != CMD_BEST_GAMES && e.command != CMD_EASIER &&
                        e.command != CMD_FOCUS_PAUSE)
                << e.label;
    }
}

TEST(InfoTexts, FiveFullTextsWithTheirHeadings) {
    // A heading and a phrase of each text.
    // clang-format off
    const std::pair<const char*, const char*> texts[INFO_TEXT_COUNT] = {
        {"Tundrix Ice-Hockey Cup\n", "80 procent"}, {"TÄVLINGSREGLER\n", "www.lumora.se"},
        {"OM Lumora\n", "gratis spel"}, {"ABOUT Lumora\n", "Sweden only"}, {"Tundrix Ice-Hockey Cup\n", "three chances"}};
    // clang-format on
    for (int i = 0; i < INFO_TEXT_COUNT; ++i) {
        const std::string text = infoText(i);
        EXPECT_EQ(text.rfind(texts[i].first, 0), 0u) << i;
        EXPECT_NE(text.find(texts[i].second), std::string::npos) << i;
        EXPECT_GT(text.size(), 400u) << i;
    }
    EXPECT_TRUE(infoText(-1).empty() && infoText(INFO_TEXT_COUNT).empty());
    // Both rules texts name every key the game has.
    const std::pair<int, std::vector<const char*>> keys[] = {
        {0, {"F1", "P eller Pause", "M:", "F11", "Förstoring", "F10 eller Alt", "Escape", "Alt-F4"}},
        {4, {"F1", "P or Pause", "M:", "F11", "Zoom", "F10 or Alt", "Escape", "Alt-F4"}},
    };
    for (const auto& [index, names] : keys)
        for (const char* key : names)
            EXPECT_NE(infoText(index).find(key), std::string::npos) << index << ": " << key;
}

TEST(GameSession, BestScoreKeepsItsTimeAndTamperCopyRetakenAtTheOfferAndIsSent) {
    Shell s;
    s.clock.advance(2000);
    s.world().score.set(50);
    tamperFlag = true; // raised as the best is made: the best keeps a copy
    s.pass();
    tamperFlag = false;
    EXPECT_TRUE(s.session.bestScoreTampered);
    const int32_t bestTime = s.session.bestScoreTime;
    EXPECT_GE(bestTime, 2000);
    s.world().score.set(40); // lower: nothing changes
    s.pass();
    EXPECT_EQ(std::pair(s.session.bestScoreTampered, s.session.bestScoreTime), std::pair(true, bestTime));

    // The offer as the game ends takes the time and the copy again.
    s.clock.advance(7000);
    s.endGameWith(40);
    tamperFlag = true;
    s.pass(); // offered, answered no
    tamperFlag = false;
    const int32_t offerTime = s.session.bestScoreTime;
    EXPECT_GE(offerTime, bestTime + 7000);

    EXPECT_EQ(
        (std::tuple{s.session.rememberLogin("", "secret"), s.session.rememberLogin("anna@example.se", ""),
                    s.session.rememberLogin("anna@example.se", "secret")}),
        (std::tuple{false, false, true}));
    const ScoreSubmission sent = s.session.makeSubmission(); // tampered: the copy taken at the offer
    EXPECT_EQ(std::tuple(sent.userName, sent.password, sent.score, sent.bestScoreTime, sent.totalPlayTime,
                         sent.tampered),
              std::tuple("anna@example.se", "secret", 50, offerTime, 70000u + 9000u, true));
    EXPECT_EQ(s.session.lastOfferedScore, 50);

    // A clean best with the tamper flag raised only by the time it is sent counts as tampered too.
    s.session.bestScoreTampered = false;
    tamperFlag = true;
    const ScoreSubmission second = s.session.makeSubmission();
    tamperFlag = false;
    EXPECT_TRUE(second.tampered);

    // The login is remembered for the next dialog, cut to its lengths.
    s.session.rememberLogin(std::string(70, 'a') + "@x", "åäöåäöåäöåäöåäöåäöå");
    EXPECT_EQ(std::pair(s.session.userName(), s.session.password()),
              std::pair(std::string(64, 'a'), std::string("åäöåäöåäöåäöåäöå")));
}

TEST(GameSession, TheScoreStaysForAnotherTryUntilTheChannelRegistersIt) {
    // After a failure (or a dialog cancelled while the post ran) the same score goes again; only a
    // registration spends it: 0 and 1. Which answers fail is the register outcome's, tested below.
    using H = HttpOutcome;
    const std::pair<int, HttpOutcome> answers[] = {
        {3, H::Answered}, {TRANSPORT_ERROR_BASE + 28, H::TooSlow}, {0, H::Answered}, {1, H::Answered}};
    for (const auto& [code, exchange] : answers) {
        const bool registered = code == 0 || code == 1;
        SCOPED_TRACE(code);
        Shell s;
        EXPECT_FALSE(gameAllows(s.session, CMD_REGISTER)) << "nothing to register during the game";
        s.endGameWith(120);
        s.pass(); // offered and answered no: the dialog can still be opened from the menu
        EXPECT_TRUE(gameAllows(s.session, CMD_REGISTER));
        s.session.cancelRegister();
        ASSERT_TRUE(s.session.rememberLogin("anna@example.se", "fel"));
        ScoreSubmission done = s.session.makeSubmission();
        EXPECT_EQ(done.score, 120);
        done.resultCode = code;
        done.exchange = exchange;
        const RegisterOutcome outcome = s.session.answerSubmission(done);
        EXPECT_EQ(outcome.showRegOk, registered);
        const int32_t left = registered ? 0 : 120;
        EXPECT_EQ(s.session.bestScore.get(), left) << "what a later register dialog's caption shows";
        EXPECT_EQ(s.world().score.get(), left) << "a registered score does not come back as the best";
        s.pass();
        EXPECT_EQ(s.session.makeSubmission().score, left) << "what the next OK sends";
        EXPECT_EQ(s.session.lastOfferedScore, 120) << "no second question for the same score";
        EXPECT_EQ(gameAllows(s.session, CMD_REGISTER), !registered) << "a spent score is not sent again";
        EXPECT_EQ(s.opened, (Opened{"question", "again"}));
    }
}

TEST(GameSession, TheGameThatMadeTheBestScoreGoesWithItAndItsVerdictIsSaidInOneLine) {
    Shell s;
    s.endGameWith(120);
    s.session.answerPlayAgain(true);
    s.pass(); // the second game, which scores less
    s.endGameWith(80);
    ASSERT_EQ(s.worlds.size(), 2u);
    ScoreSubmission done = s.session.makeSubmission();
    std::string why;
    const std::optional<Replay> sent = decodeReplay(done.replay, why);
    ASSERT_TRUE(sent) << why;
    EXPECT_EQ(sent->build.gameId, 1) << "the first game made the best score";
    // A registered score says in one line when the channel could not verify its game; a failed post says
    // nothing of it.
    // The result, the replay's answer, and whether anything is said.
    const std::tuple<int, int, bool> verdicts[] = {{0, 0, false}, {0, 1, false}, {1, -1, true},
                                                   {0, 5, true},  {0, 6, true},  {3, -1, false}};
    for (const auto& [result, replayAnswer, said] : verdicts) {
        done.resultCode = result, done.replayAnswer = replayAnswer;
        EXPECT_EQ(!registerOutcome(done, WebPages{}).unverified.empty(), said)
            << result << "/" << replayAnswer;
    }
    done.replay.clear();
    done.resultCode = 0;
    EXPECT_TRUE(registerOutcome(done, WebPages{}).unverified.empty()) << "nothing recorded, nothing to say";
    // Registered: the world's score is cleared through the world, so its recording notes it.
    s.session.answerSubmission(done);
    EXPECT_EQ(s.world().score.get(), 0);
}

TEST(RegisterOutcome, FollowsTheServersAnswerAndSaysWhyAnAttemptFailedInBothLanguages) {
    const std::string site = "http://www.lumora.se/";
    const std::string mail = site + "getpass.asp?mail=anna%20svensson%2Bx%40example.se%26y%3D1";
    const auto answer = [](int code, int notice = 1, HttpOutcome exchange = HttpOutcome::Answered,
                           int wait = 0) {
        ScoreSubmission done;
        done.userName = "anna svensson+x@example.se&y=1";
        done.resultCode = code, done.versionNotice = notice, done.exchange = exchange,
        done.retryAfterSeconds = wait;
        return done;
    };
    using H = HttpOutcome;
    constexpr int T = TRANSPORT_ERROR_BASE;
    // A registration sends nothing again; every other answer offers another try. A newer version opens its
    // page and closes the dialog, and the result is acted on as well. Without a verdict the reason is said,
    // with when to try again if the channel said so.
    const struct {
        ScoreSubmission done;
        std::vector<std::string> pages;
        bool regOk, close;
        const char *sv, *en; // words of the reason in either language, or "" for none
    } cases[] = {
        // clang-format off
        {answer(0), {}, true, true, "", ""},
        {answer(1), {}, true, true, "", ""},
        {answer(2), {site + "registrera/"}, false, false, "Okänd användare", "Unknown user"},
        {answer(3), {mail}, false, false, "Fel lösenord", "Wrong password"},
        {answer(-1, 1, H::LibraryMissing), {site + "dll/"}, false, false, "HTTP-bibliotek", "HTTP library"},
        {answer(0, 2), {site + "version.asp?gameid=2"}, true, true, "", ""},
        {answer(2, 4), {site + "version.asp?gameid=4", site + "registrera/"}, false, true, "Okänd användare",
         "Unknown user"},
        {answer(429, 1, H::Answered, 30), {}, false, false, "För många försök: försök igen om 30 sekunder",
         "Too many attempts: try again in 30 seconds"},
        {answer(429, 1, H::Answered, 1), {}, false, false, "om 1 sekund", "in 1 second"},
        {answer(429, 1, H::Answered, 121), {}, false, false, "om 3 minuter", "in 3 minutes"},
        {answer(429), {}, false, false, "om en stund", "in a while"},
        {answer(503), {}, false, false, "kan inte spara", "cannot store the score"},
        {answer(T + 7, 1, H::NotConnected), {}, false, false, "Kunde inte nå", "could not be reached"},
        {answer(T + 28, 1, H::NotConnected), {}, false, false, "Kunde inte nå", "could not be reached"},
        {answer(T + 28, 1, H::TooSlow), {}, false, false, "svarade för långsamt", "answered too slowly"},
        {answer(T + 56, 1, H::Failed), {}, false, false, "bröts", "broke off"},
        {answer(ANSWER_WITHOUT_RESULT), {}, false, false, "inte att förstå", "not be understood"},
        {answer(500), {}, false, false, "inte att förstå", "not be understood"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.done.resultCode) + "/" + std::to_string(c.done.versionNotice));
        const RegisterOutcome out = registerOutcome(c.done, WebPages{});
        EXPECT_EQ(std::tuple(out.pages, out.showRegOk, out.close, out.button),
                  std::tuple(c.pages, c.regOk, c.close,
                             c.regOk ? RegisterOutcome::Button::Sending : RegisterOutcome::Button::Retry));
        if (*c.en) {
            const size_t slash = out.why.find(" / ");
            ASSERT_NE(slash, std::string::npos) << out.why;
            EXPECT_NE(out.why.substr(0, slash).find(c.sv), std::string::npos) << out.why;
            EXPECT_NE(out.why.substr(slash).find(c.en), std::string::npos) << out.why;
        } else {
            EXPECT_TRUE(out.why.empty());
        }
    }
}

TEST(GameSession, TheEnglishVisitItemNamesTheHostItsPagesOpen) {
    // The channel worked out at start: the menu names its host, and the menu's and the dialog's pages
    // open on it.
    const std::pair<const char*, std::string> channels[] = {
        {"127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"https://scores.example.org", "https://scores.example.org"}};
    for (const auto& [configured, base] : channels) {
        const std::optional<ChannelAddress> channel = parseChannelAddress(configured);
        ASSERT_TRUE(channel);
        Shell s{WebPages(*channel)};
        const MenuEntry visit = menuBar(s.session.pages().channelHost())[5].items[4];
        EXPECT_EQ(visit.label, "Visit " + channel->host);
        EXPECT_EQ(s.session.runCommand(visit.command).url, base + "/");
        EXPECT_EQ(s.session.runCommand(CMD_CHALLENGE).url, base + "/useradm/challenge/");
        ScoreSubmission unknown;
        unknown.resultCode = 2;
        EXPECT_EQ(registerOutcome(unknown, s.session.pages()).pages,
                  std::vector<std::string>{base + "/registrera/"});
    }
}

TEST(GameSession, PlayTimeIsAddedOnceAMinuteAndAtQuitAndTheRunEndsAsThePlayerSays) {
    Shell s;
    // 90 s of frames and dialogs: the minute is added as it passes, the rest at quit.
    for (int i = 0; i < 90000 / 40; ++i) {
        s.clock.advance(40);
        s.pass();
    }
    EXPECT_EQ(s.stored, 70000u + 60000u);
    EXPECT_EQ((std::tuple{s.session.totalPlayTime(), s.session.quit(), s.stored,
                          s.session.driver() == nullptr, s.session.quitRequested()}),
              (std::tuple{160000u, 160000u, 160000u, true, true}));
    // Nothing left to run: the loop and late commands or answers do nothing.
    EXPECT_FALSE(s.pass());
    s.session.runCommand(CMD_NEW_GAME);
    s.session.runCommand(CMD_RULES);
    s.session.answerPlayAgain(true);
    s.session.closeInformation();
    s.session.hold(true);
    s.session.hold(false);

    // The window closed, or no to playing again: the loop ends, and no frame runs once the player chose to
    // stop.
    Shell closing, no;
    closing.closed = true;
    EXPECT_FALSE(closing.pass());
    no.playAgainAnswer = 0;
    no.endGameWith(0);
    const int updates = no.world().updates;
    EXPECT_FALSE(no.pass());
    EXPECT_EQ(no.world().updates, updates);
}

TEST(Replays, AGameInProgressEndsOnlyAfterAYesAndAFreshGameWithThePlayersTamperFlagFollows) {
    struct Case {
        const char* state;
        bool yes;
        Opened opened;
        bool closeWindow = false; // during the replay: the run ends without another game
    };
    const Case cases[] = {
        {"at the title after a game", false, {"replay", "tell"}},
        {"in progress", false, {"confirm"}},
        {"in progress", true, {"confirm", "replay", "tell"}},
        {"over", false, {"replay", "tell"}},
        {"over", false, {"replay"}, true},
    };
    for (const Case& c : cases) {
        for (const bool flag : {false, true}) {
            SCOPED_TRACE(std::string(c.state) + (c.yes ? ", yes" : ", no") + (flag ? ", tampered" : "") +
                         (c.closeWindow ? ", closed" : ""));
            Shell s;
            s.confirmAnswer = c.yes;
            s.closeWindowInReplay = c.closeWindow;
            s.leaveTitle();
            if (c.state == std::string("at the title after a game")) {
                s.runs(CMD_NEW_GAME);
            } else if (c.state == std::string("over")) {
                s.endGameWith(10);
                s.pass();
            }
            const size_t worlds = s.worlds.size();
            tamperFlag = flag;
            s.opened.clear();
            s.choose(CMD_PLAY_LAST_GAME);
            EXPECT_EQ(s.pass(), !c.closeWindow);
            EXPECT_EQ(s.opened, c.opened);
            const bool shown = !s.worldsDuringReplay.empty(), fresh = shown && !c.closeWindow;
            EXPECT_EQ(s.worldsDuringReplay, std::vector<bool>(shown ? 1 : 0, false))
                << "no world of the game is alive while a replay is shown";
            EXPECT_EQ(s.worlds.size(), worlds + (fresh ? 1 : 0)) << "a replay is followed by a fresh game";
            EXPECT_EQ(s.session.driver() == nullptr, c.closeWindow);
            if (fresh) {
                EXPECT_TRUE(s.world().title);
                EXPECT_EQ(s.session.lastGame(), s.logs[0]) << "and the game played back stays the last";
                // These recordings stop matching the game at once: the player is told so, in both languages.
                EXPECT_NE(s.told.back().find("stopped matching"), std::string::npos) << s.told.back();
                EXPECT_NE(s.told.back().find("slutade"), std::string::npos);
            }
            EXPECT_EQ(tamperFlag, flag) << "the next score post says what it would have said";
            EXPECT_EQ(s.pass(), !c.closeWindow) << "and the run goes on";
            s.session.quit();
            tamperFlag = false;
        }
    }
}

TEST(Replays,
     TheLastGameIsTheOneInPlayOnceItLeftTheTitleAndItIsSavedAndFilesTypedOrDroppedArePlayedOrRefused) {
    Shell s;
    s.pass();
    EXPECT_EQ(s.session.lastGame(), nullptr) << "a title is no game";
    for (int command : {CMD_PLAY_LAST_GAME, CMD_SAVE_LAST_GAME}) {
        EXPECT_FALSE(gameAllows(s.session, command)) << "the menu greys " << command;
        s.choose(command);
    }
    s.pass();
    EXPECT_TRUE(s.opened.empty()) << "nothing to play back or save yet";
    s.leaveTitle();
    for (int command : {CMD_PLAY_LAST_GAME, CMD_SAVE_LAST_GAME})
        EXPECT_TRUE(gameAllows(s.session, command)) << command;
    EXPECT_EQ(s.session.lastGame(), s.logs[0]);
    s.runs(CMD_NEW_GAME);
    ASSERT_EQ(s.worlds.size(), 2u);
    s.leaveTitle();
    EXPECT_EQ(s.session.lastGame(), s.logs[1]);

    // The last game saved; saved, typed and dropped files played, and bad ones refused with a message.
    const test::TempDir dir;
    const std::filesystem::path folder = dir.path / "replays";
    s.session.replayFolder = folder;
    s.endGameWith(0);
    s.opened.clear();
    s.runs(CMD_SAVE_LAST_GAME);
    EXPECT_EQ(s.opened, (Opened{"again", "tell"}));
    const std::filesystem::path saved = folder / LAST_GAME_FILE;
    EXPECT_NE(s.told.back().find(saved.string()), std::string::npos) << "the player is told where it went";
    std::string why;
    ASSERT_TRUE(readReplayFile(saved, why)) << why;
    const std::filesystem::path damaged = folder / "damaged.txr";
    std::filesystem::copy_file(saved, damaged);
    std::filesystem::resize_file(damaged, std::filesystem::file_size(saved) / 2);

    // Which files are refused, and why, is the replay files' own test's; here only that the player hears of
    // it.
    struct Case {
        std::string typed, dropped;
        Opened opened;
        bool replays = true; // a window that shows no replays is asked nothing
    };
    const Case cases[] = {
        {"", "", {"open"}}, // put away
        {damaged.string(), "", {"open", "tell"}},
        {"  '" + saved.string() + "'  ", "", {"open", "replay", "tell"}},
        {"", "file://" + saved.string(), {"replay", "tell"}},
        {"", saved.string(), {"replay", "tell"}},
        {"", damaged.string(), {"tell"}},
        {saved.string(), "", {}, false},
        {"", saved.string(), {}, false},
    };
    for (const Case& c : cases) {
        s.opened.clear();
        s.told.clear();
        s.typedPath = c.typed;
        s.dropped = c.dropped;
        s.replays = c.replays;
        if (c.dropped.empty()) s.choose(CMD_OPEN_REPLAY);
        s.pass();
        s.pass();
        EXPECT_EQ(s.opened, c.opened) << c.typed << c.dropped << c.replays;
    }
}

} // namespace
} // namespace tundrix
