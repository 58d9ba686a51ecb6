#pragma once
// The page side of the web back end (library_tavrin.js), as the C++ side
// calls it. Dialogs are numbered by handle, controls by template index.

extern "C" {

// Event types a dialog's run takes from the page's queue.
enum TvEvent { TV_COMMAND = 1, TV_ENTER = 2, TV_ESCAPE = 3, TV_CLOSE = 4, TV_SYSCOMMAND = 5, TV_HELP = 6, TV_ALT_SPACE = 7 };

// Control flags, as tv_control_add takes them.
enum TvFlag { TV_TAB_STOP = 1, TV_DEFAULT = 2, TV_READ_ONLY = 4, TV_MULTI_LINE = 8, TV_WRAP = 32 };

int tv_dialog_create(const char* caption, int cx, int cy, const char* fontName, int points, int systemMenu);
void tv_control_add(int handle, int index, int kind, const char* caption, int x, int y, int cx, int cy, int flags,
                    int iconId);
// The group box (template index; -1: none) the control lies in, and for a radio button its place (from 1) among
// the `count` radios of its set; a screen reader gives both as the control's context.
void tv_control_group(int handle, int index, int box, int position, int count);
void tv_dialog_show(int handle);
void tv_dialog_destroy(int handle);

// The control's text as the page holds it, in memory the caller frees.
char* tv_value(int handle, int index);
// 0: as the program set it; 1: changed by the user; 2 + k: list item k picked.
int tv_text_state(int handle, int index);
void tv_set_text(int handle, int index, const char* text, int length);
int tv_check(int handle, int index);
void tv_set_check(int handle, int index, int state);

int tv_list_add(int handle, int index, const char* item);
int tv_list_selection(int handle, int index);
void tv_list_select(int handle, int index, int item);
int tv_list_dropped(int handle, int index);
void tv_list_close(int handle, int index);

int tv_focus(int handle);
void tv_set_focus(int handle, int index);
void tv_frame(int handle, int* rect);
void tv_move(int handle, int x, int y);
int tv_visible(int handle);
void tv_work_area(int* rect);

void tv_set_icon(int handle, int iconId);
// A separator is command -2.
int tv_menu_add(int handle, int command, const char* text);
void tv_menu_open(int handle);
void tv_add_icon(int iconId, const char* const* xpm);

int tv_message_create(const char* text, const char* caption, int buttons, int icon);
int tv_open_page(const char* path);
void tv_program_ended();

// Suspends the program until the page queues an event for dialog `handle`;
// returns its type. tv_event_arg gives its control index, result or command.
int tv_wait_event(int handle);
int tv_event_arg();
// Puts text on the system clipboard; 1 when the browser took it.
int tv_copy_text(const char* text, int length);
}
