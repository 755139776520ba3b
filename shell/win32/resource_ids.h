// Numbers of the program's Windows resources and dialog controls, shared by tundrix.rc and the code.
#pragma once

// The program's icon (the lowest icon id: what Explorer and the Start menu show).
#define IDI_GAME 1
// The menu bar, made from the shell's menu at build time (menu.rc).
#define IDR_MENU 128
// Dialogs: the information text, the register dialog and the yes/no question.
#define IDD_INFORMATION 129
#define IDD_REGISTER 131
#define IDD_QUESTION 135
// Controls: the text of the information dialog and of the question, the login fields.
#define IDC_TEXT 1000
#define IDC_USER_NAME 1003
#define IDC_PASSWORD 1004
// The register dialog's third button.
#define IDC_NEW_USER 3
