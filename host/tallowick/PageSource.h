// Pages named on the command line: a file, or an http:// URL fetched with
// the program's HTTP session.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <string>

#include "http/HttpSession.h"

namespace tallowick::cli {

// Loads PAGE into *document (one reference). On failure prints why to
// standard error and answers the failure.
HRESULT LoadPageArgument(const std::string &page, host::http::HttpSession &session,
                         IHTMLDocument2 **document);

// Lets the page's links and forms that lead to http:// URLs load the
// server's answer in its window, through `session`; a failed fetch is printed
// and sets *failed.
void FollowHttpNavigations(IHTMLDocument2 *document, host::http::HttpSession &session,
                           bool *failed);

} // namespace tallowick::cli
