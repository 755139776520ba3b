// The shell's loop rules with a fake world and a fake clock: best score, the submission offer, the order of
// the dialogs, F1, the menu commands, the register outcomes and the quit routine.
#include "shell/game_session.h"

#include "fake_clock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tundrix {
namespace {

using test::FakeClock;

// A world whose score and game-over state the test sets.
class FakeWorld : public World {
  public:
    void update() override { ++updates; }
    void draw() override { ++draws; }
    bool gameOver() const override { return over; }
    int countdown() const override { return over ? 0 : 1; }

    GuardedCounter score;
    bool over = false;
    int updates = 0, draws = 0;
};

// Records which dialogs open and answers them as the test scripted.
class ScriptedDialogs : public DialogHost {
  public:
    explicit ScriptedDialogs(GameSession& s) : session(s) {}
    void askToSubmit() override {
        opened.push_back("question");
        session.answerSubmitQuestion(submitAnswer);
    }
    void registerScore() override {
        opened.push_back("register");
        if (closeWindowInRegister) session.requestQuit();
        if (cancelRegister) session.cancelRegister();
    }
    void showInformation(int index) override {
        opened.push_back("info " + std::to_string(index));
        session.closeInformation();
    }
    void askToPlayAgain() override {
        opened.push_back("again");
        if (playAgainAnswer >= 0) session.answerPlayAgain(playAgainAnswer == 1);
    }

    GameSession& session;
    std::vector<std::string> opened;
    bool submitAnswer = false;
    bool cancelRegister = true;
    bool closeWindowInRegister = false;
    int playAgainAnswer = -1; // -1: put away with the close box
};

struct Shell {
    FakeClock clock{5000};
    std::vector<FakeWorld*> worlds;
    GameSession session{clock, 5000, 70000,
                        [this](const AngleTables&) {
                            auto w = std::make_unique<FakeWorld>();
                            worlds.push_back(w.get());
                            return w;
                        },
                        [](World& w) { return &static_cast<FakeWorld&>(w).score; }};
    ScriptedDialogs dialogs{session};

    FakeWorld& world() { return *worlds.back(); }
    // One pass of the main loop, without the window.
    void pass(bool f1 = false) {
        session.offerBestScore();
        session.openRequestedDialogs(dialogs);
        if (session.quitRequested()) return;
        session.stepFrame();
        session.checkRestartKey(f1);
    }
    void endGameWith(int score) {
        world().score.set(score);
        world().over = true;
        pass(); // the step that sees the end raises gameOverReached
    }
    void restart() {
        session.runCommand(CMD_NEW_GAME);
        pass();
    }
};

TEST(GameSession, OffersEachNewBestScoreOnceAfterTheGameEnds) {
    Shell s;
    s.pass();
    s.endGameWith(0);
    s.pass();
    EXPECT_EQ(s.dialogs.opened, (std::vector<std::string>{"again"})) << "a best of 0 asks nothing";

    s.restart();
    s.dialogs.opened.clear();
    s.endGameWith(120);
    EXPECT_EQ(s.session.bestScore.get(), 120);
    s.pass();
    s.pass();
    EXPECT_EQ(s.dialogs.opened, (std::vector<std::string>{"question", "again"}));
    EXPECT_EQ(s.session.lastOfferedScore, 120);
    EXPECT_FALSE(s.session.driver()->registerQuestionRequested);

    s.restart();
    s.dialogs.opened.clear();
    s.endGameWith(120);
    s.pass();
    EXPECT_EQ(s.dialogs.opened, (std::vector<std::string>{"again"})) << "the same best again is not offered";

    s.restart();
    s.dialogs.opened.clear();
    s.endGameWith(130);
    s.pass();
    EXPECT_EQ(s.dialogs.opened, (std::vector<std::string>{"question", "again"}));
}

TEST(GameSession, BestScoreKeepsItsGameTimeAndTamperCopy) {
    Shell s;
    s.pass();
    s.clock.advance(2000);
    s.world().score.set(50);
    tamperFlag = true;
    s.pass();
    EXPECT_EQ(s.session.bestScore.get(), 50);
    EXPECT_TRUE(s.session.bestScoreTampered);
    const int32_t firstTime = s.session.bestScoreTime;
    EXPECT_GE(firstTime, 2000);

    tamperFlag = false;
    s.world().score.set(40); // lower: nothing changes
    s.pass();
    EXPECT_EQ(s.session.bestScore.get(), 50);
    EXPECT_TRUE(s.session.bestScoreTampered);
    EXPECT_EQ(s.session.bestScoreTime, firstTime);

    // The best survives a new game.
    s.restart();
    EXPECT_EQ(s.worlds.size(), 2u);
    EXPECT_EQ(s.session.bestScore.get(), 50);
}

TEST(GameSession, YesOpensTheRegisterDialogInTheSamePassThenInformation) {
    Shell s;
    s.pass();
    s.dialogs.submitAnswer = true;
    s.endGameWith(300);
    s.session.runCommand(CMD_COMPETITION_RULES); // information asked for as the game ends
    s.dialogs.opened.clear();
    s.pass();
    EXPECT_EQ(s.dialogs.opened, (std::vector<std::string>{"question", "register", "info 1", "again"}));
    FrameDriver& d = *s.session.driver();
    EXPECT_FALSE(d.registerQuestionRequested);
    EXPECT_FALSE(d.registerDialogRequested);
    EXPECT_FALSE(d.infoDialogRequested);

    // The play-again question comes once per game over.
    s.pass();
    EXPECT_EQ(s.dialogs.opened.size(), 4u);
}

TEST(GameSession, PlayAgainRestartsOrEndsTheRun) {
    Shell yes;
    yes.dialogs.playAgainAnswer = 1;
    yes.pass();
    yes.endGameWith(0);
    yes.pass();
    EXPECT_FALSE(yes.session.driver()->gameOverReached);
    EXPECT_EQ(yes.worlds.size(), 2u) << "the step of that pass built the new game";
    EXPECT_FALSE(yes.session.quitRequested());

    Shell no;
    no.dialogs.playAgainAnswer = 0;
    no.pass();
    no.endGameWith(0);
    const int updates = no.world().updates;
    no.pass();
    EXPECT_TRUE(no.session.quitRequested());
    EXPECT_EQ(no.world().updates, updates) << "no frame runs once the player chose to stop";
}

TEST(GameSession, ClosingTheWindowInADialogOpensNothingMore) {
    Shell s;
    s.pass();
    s.dialogs.submitAnswer = true;
    s.dialogs.closeWindowInRegister = true;
    s.endGameWith(10);
    s.session.runCommand(CMD_RULES);
    s.dialogs.opened.clear();
    s.pass();
    EXPECT_EQ(s.dialogs.opened, (std::vector<std::string>{"question", "register"}));
    EXPECT_TRUE(s.session.quitRequested());
}

TEST(GameSession, F1AndTheNewGameCommandRestart) {
    Shell s;
    s.pass();
    s.pass(true);
    EXPECT_TRUE(s.session.driver()->restartRequested);
    s.pass(true); // held: the world is rebuilt on every frame
    s.pass(true);
    EXPECT_EQ(s.worlds.size(), 3u);
    s.pass();
    EXPECT_EQ(s.worlds.size(), 4u);
    s.pass();
    EXPECT_EQ(s.worlds.size(), 4u);
}

TEST(GameSession, MenuCommandsRaiseRequestsOrNameAction) {
    Shell s;
    s.pass();
    FrameDriver& d = *s.session.driver();
    const std::pair<int, int> infos[] = {{CMD_RULES, 0},
                                         {CMD_COMPETITION_RULES, 1},
                                         {CMD_ABOUT, 2},
                                         {CMD_ABOUT_ENGLISH, 3},
                                         {CMD_HOW_TO_PLAY, 4}};
    for (auto [command, index] : infos) {
        d.infoDialogRequested = false;
        EXPECT_TRUE(s.session.runCommand(command).url.empty());
        EXPECT_TRUE(d.infoDialogRequested);
        EXPECT_EQ(s.session.infoTextIndex, index);
    }

    s.session.runCommand(CMD_REGISTER);
    EXPECT_FALSE(d.registerDialogRequested) << "nothing to register before the game is over";
    d.gameOverReached = true;
    s.session.runCommand(CMD_REGISTER);
    EXPECT_TRUE(d.registerDialogRequested);

    EXPECT_EQ(s.session.runCommand(CMD_CHALLENGE).url, "http://www.lumora.se/useradm/challenge/");
    EXPECT_EQ(s.session.runCommand(CMD_CHANNEL_SITE).url, "http://www.lumora.se/");
    EXPECT_EQ(s.session.runCommand(CMD_BRAND_SITE).url, "http://www.tundrix.se/");
    EXPECT_TRUE(s.session.runCommand(CMD_QUIT).quit);
    const CommandEffect none = s.session.runCommand(CMD_NOTHING);
    EXPECT_FALSE(none.quit);
    EXPECT_TRUE(none.url.empty());
    EXPECT_FALSE(s.session.runCommand(12345).quit);
}

TEST(GameSession, InformationAndCancelResyncTheSchedule) {
    Shell s;
    for (int i = 0; i < 3; ++i)
        s.pass();
    s.clock.advance(5000); // a dialog stayed open for five seconds
    s.session.closeInformation();
    const int draws = s.world().draws;
    s.pass(); // due at once: updates without drawing
    s.pass();
    EXPECT_EQ(s.world().draws, draws + 1) << "no burst of catch-up frames after the dialog";
}

TEST(GameSession, SubmissionSendsTheBestAndZeroesScoresWhateverTheAnswer) {
    Shell s;
    s.pass();
    s.clock.advance(9000);
    s.world().score.set(480);
    s.pass();
    s.session.lastOfferedScore = 480;

    EXPECT_FALSE(s.session.rememberLogin("", "secret"));
    EXPECT_FALSE(s.session.rememberLogin("anna@example.se", ""));
    EXPECT_TRUE(s.session.rememberLogin("anna@example.se", "secret"));

    ScoreSubmission sent;
    tamperFlag = true;
    const RegisterOutcome out = s.session.submitBestScore([&](ScoreSubmission& r) {
        sent = r;
        r.resultCode = 2;
    });
    tamperFlag = false;
    EXPECT_EQ(sent.userName, "anna@example.se");
    EXPECT_EQ(sent.password, "secret");
    EXPECT_EQ(sent.score, 480);
    EXPECT_EQ(sent.bestScoreTime, s.session.bestScoreTime);
    EXPECT_EQ(sent.totalPlayTime, 70000u + 9000u);
    EXPECT_TRUE(sent.tampered) << "the tamper flag raised now counts too";

    EXPECT_EQ(s.session.bestScore.get(), 0);
    EXPECT_EQ(s.world().score.get(), 0);
    EXPECT_EQ(s.session.lastOfferedScore, 480);
    EXPECT_EQ(out.button, RegisterOutcome::Button::Retry);
    EXPECT_EQ(out.pages, (std::vector<std::string>{"http://www.lumora.se/registrera/"}));
    EXPECT_FALSE(out.close);

    // The login is remembered for the next dialog, cut to its lengths.
    s.session.rememberLogin(std::string(70, 'a') + "@x", "åäöåäöåäöåäöåäöåäöå");
    EXPECT_EQ(s.session.userName(), std::string(64, 'a'));
    EXPECT_EQ(s.session.password(), "åäöåäöåäöåäöåäöå");
}

TEST(RegisterOutcome, FollowsTheServersAnswer) {
    const RegisterOutcome ok = registerOutcome(0, 1, "u");
    EXPECT_TRUE(ok.showRegOk);
    EXPECT_TRUE(ok.close);
    EXPECT_TRUE(ok.pages.empty());
    EXPECT_TRUE(registerOutcome(1, 1, "u").showRegOk);

    const RegisterOutcome noLibrary = registerOutcome(-1, 1, "u");
    EXPECT_EQ(noLibrary.pages, (std::vector<std::string>{"http://www.lumora.se/dll/"}));
    EXPECT_FALSE(noLibrary.close);

    const RegisterOutcome wrongPassword = registerOutcome(3, 1, "anna svensson+x@example.se&y=1");
    EXPECT_EQ(wrongPassword.pages,
              (std::vector<std::string>{
                  "http://www.lumora.se/getpass.asp?mail=anna%20svensson%2Bx%40example.se%26y%3D1"}));
    EXPECT_EQ(wrongPassword.button, RegisterOutcome::Button::Retry);

    // A newer version: its page opens and the dialog closes, and the result is acted on as well.
    const RegisterOutcome newer = registerOutcome(2, 4, "u");
    EXPECT_EQ(newer.pages, (std::vector<std::string>{"http://www.lumora.se/version.asp?gameid=4",
                                                     "http://www.lumora.se/registrera/"}));
    EXPECT_TRUE(newer.close);
    const RegisterOutcome newerOk = registerOutcome(0, 2, "u");
    EXPECT_TRUE(newerOk.showRegOk);
    EXPECT_EQ(newerOk.pages.size(), 1u);

    // An answer without a verdict leaves the dialog open for another try, no page.
    const RegisterOutcome unknown = registerOutcome(12007, 1, "u");
    EXPECT_FALSE(unknown.close);
    EXPECT_FALSE(unknown.showRegOk);
    EXPECT_TRUE(unknown.pages.empty());
    EXPECT_EQ(unknown.button, RegisterOutcome::Button::Retry);
}

TEST(GameSession, QuitAddsThisRunToTheStoredTimeAndDropsTheGame) {
    Shell s;
    s.pass();
    s.clock.advance(90000);
    EXPECT_EQ(s.session.totalPlayTime(), 160000u);
    EXPECT_EQ(s.session.quit(), 160000u);
    EXPECT_EQ(s.session.driver(), nullptr);
    EXPECT_TRUE(s.session.quitRequested());
    s.pass(); // nothing left to run; no crash
    s.session.runCommand(CMD_NEW_GAME);
    s.session.runCommand(CMD_RULES);
    s.session.answerPlayAgain(true);
    s.session.closeInformation();

    // The total wraps like the clock.
    FakeClock clock(0xFFFFF000u);
    GameSession wrap(clock, 0xFFFFF000u, 0xFFFFFF00u, {}, {});
    clock.advance(0x2000);
    EXPECT_EQ(wrap.totalPlayTime(), 0x1F00u);
}

} // namespace
} // namespace tundrix
