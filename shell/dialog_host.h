// The dialogs the loop opens, each returning when its dialog has closed (no SDL here).
#pragma once

namespace tundrix {

class DialogHost {
  public:
    virtual ~DialogHost() = default;
    virtual void askToSubmit() = 0;
    virtual void registerScore() = 0;
    virtual void showInformation(int textIndex) = 0;
    virtual void askToPlayAgain() = 0;
};

} // namespace tundrix
