// Runs an event handler and shows an escaping exception in the standard error box, so a
// failing command ends only itself and the program keeps running.
#pragma once
#include <exception>
#include <string>

class QObject;

void ShowException(const std::exception& e);

template <class F>
void Guard(F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowException(e);
  }
}

// A slot that runs handler(nullptr-or-sender) under Guard; for connect().
template <class Form, class Sender>
auto Handler(Form* form, void (Form::*handler)(QObject*), Sender* sender) {
  return [form, handler, sender] { Guard([&] { (form->*handler)(sender); }); };
}
