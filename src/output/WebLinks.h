#pragma once
// The buttons, pictures and labels that open a page of the web service or of its friends in the
// default browser. The account and the hosts are read at each click, so what was just typed in
// the options dialog counts at once.
class Prompts;
struct ProgramOptions;

class WebLinks
{
  public:
    WebLinks(const ProgramOptions& options, Prompts& prompts) : options_(options), prompts_(prompts) {}

    void btKestrixClick();    // "KestrixNetを開く": the member login, or the top page
    void ImageKestrixClick(); // the service logo on the options dialog: the same
    void btJEXregistClick();  // "登録": the sign-up page
    void VeltaClick();        // the sponsor picture
    void btHelpClick();       // "ユーザ間サポート"
    void ImageLogoClick();    // the logo on the version page
    void ImagePayClick();     // the donation picture

  private:
    const ProgramOptions& options_;
    Prompts& prompts_;
};
