// The texts and addresses of the application-wide commands that leave the application: the
// feedback and bug-report mails, the introduction video and the web site.
#ifndef NUMBERA_APP_RULES_NB_GLOBAL_ACTION_TEXTS_H
#define NUMBERA_APP_RULES_NB_GLOBAL_ACTION_TEXTS_H

#include <string>

namespace NBGlobalActionTexts {

inline constexpr char kFeedbackAddress[] = "feedback@numbera.app";
inline constexpr char kBugReportAddress[] = "bugs@numbera.app";
inline constexpr char kWebHost[] = "https://numbera.app";

// "<short version> (Build <version>)" of the application's identity (NKSetApplicationIdentity);
// a part that is not set is empty.
std::u16string versionText();
// The body texts, filled in.
std::u16string feedbackMailBody();
std::u16string bugReportMailBody();
// "mailto:" addresses with the subject and body escaped for a URL (every byte outside the
// unreserved ASCII characters as %XX of its UTF-8).
std::string feedbackMailURL();
std::string bugReportMailURL();
// The introduction video page of the web host.
std::string introductionMovieURL();

}  // namespace NBGlobalActionTexts

#endif
