// User input as it arrives from a person: a click is focus, mouse down (left
// button), mouse up and click; typing sets the value with key events and ends
// with change and blur; choosing an option fires change; a check box toggles
// by a click.
#pragma once

#include <windows.h>

#include <mshtml.h>

#include <string>

namespace tallowick::cli {

HRESULT UserClick(IHTMLElement *element);
HRESULT UserType(IHTMLElement *element, const std::string &text);
// OPTION: the option's text (spaces around it ignored), or "#n" for the n-th.
HRESULT UserSelect(IHTMLElement *element, const std::string &option, std::string &error);
// Clicks the check box when its state differs from `checked`.
HRESULT UserCheck(IHTMLElement *element, bool checked);

} // namespace tallowick::cli
