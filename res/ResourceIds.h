// Identifiers of the program's resources and of every control the code refers to.
#pragma once

// Resources.
constexpr unsigned IDD_ABOUTBOX = 100;
constexpr unsigned IDS_ABOUTBOX = 101;
constexpr unsigned IDD_MAIN = 102;
constexpr unsigned IDR_MAINFRAME = 128;
constexpr unsigned IDD_EDIT_ENTRY = 130;
constexpr unsigned IDD_FIND = 131;
constexpr unsigned IDD_KEYS = 132;
constexpr unsigned IDD_IMPORT = 133;
constexpr unsigned IDD_REVIEW = 134;
constexpr unsigned IDD_REVIEW_OPTIONS = 135;
constexpr unsigned IDR_STUDY_MENU = 140; // the study window's menu bar
constexpr unsigned IDR_ROW_MENU = 141;   // a row's context menu

// Menu commands, also sent by their shortcuts.
constexpr int ID_APP_EXIT = 0xE141;
constexpr int ID_APP_ABOUT = 0xE140;
constexpr int ID_EDIT_UNDO = 0xE12B;
constexpr int ID_EDIT_REDO = 0xE12C;
constexpr int ID_EDIT_ENTRY = 0x8001;
constexpr int ID_DELETE_ENTRY = 0x8002;
constexpr int ID_COPY_WORD = 0x8003;
constexpr int ID_FIND = 0x8004;
constexpr int ID_FIND_NEXT = 0x8005;
constexpr int ID_FIND_PREVIOUS = 0x8006;
constexpr int ID_HELP_KEYS = 0x8007;
constexpr int ID_FILE_IMPORT = 0x8008;
constexpr int ID_FILE_EXPORT = 0x8009;
// The File menu's lists: another folder's list, a new one, the changes an Escape kept, and
// the lists opened last (the open one first).
constexpr int ID_FILE_OPEN_LIST = 0x8010;
constexpr int ID_FILE_NEW_LIST = 0x8011;
constexpr int ID_FILE_RECOVER = 0x8012;
constexpr int ID_FILE_RECENT_FIRST = 0x8013;
constexpr int ID_FILE_RECENT_LAST = 0x8018; // the open list and five others
// The View menu: theme, zoom and speech.
constexpr int ID_VIEW_DARK = 0x8020;
constexpr int ID_VIEW_LIGHT = 0x8021;
constexpr int ID_VIEW_SYSTEM = 0x8022;
constexpr int ID_VIEW_ZOOM_IN = 0x8023;
constexpr int ID_VIEW_ZOOM_OUT = 0x8024;
constexpr int ID_VIEW_ZOOM_RESET = 0x8025;
constexpr int ID_VIEW_SPEAK = 0x8026; // reads the current row's word aloud
// The Review menu.
constexpr int ID_REVIEW_START = 0x8030; // its text carries the day's counts
constexpr int ID_REVIEW_OPTIONS = 0x8031;
constexpr int ID_REVIEW_STATISTICS = 0x8032;
constexpr int ID_REVIEW_FIT = 0x8033;
// Inside the review window.
constexpr int ID_REVIEW_UNDO = 0x8038;
constexpr int ID_REVIEW_SPEAK = 0x8039;

// The entry editor.
constexpr int IDC_ENTRY_NUMBER = 1100;
constexpr int IDC_ENTRY_WORD = 1101;
constexpr int IDC_ENTRY_SPELL = 1102;
constexpr int IDC_ENTRY_TYPE = 1103;
constexpr int IDC_ENTRY_MEAN = 1104;

// The find window.
constexpr int IDC_FIND_TEXT = 1110;
constexpr int IDC_FIND_COUNT = 1111;
constexpr int IDC_FIND_RESULTS = 1112;

// The import dialog.
constexpr int IDC_IMPORT_FILE = 1120;
constexpr int IDC_IMPORT_READ_AS = 1121;
constexpr int IDC_IMPORT_FORMAT = 1122;
constexpr int IDC_IMPORT_ENCODING = 1123;
constexpr int IDC_IMPORT_SKIP = 1124;
constexpr int IDC_IMPORT_REPLACE = 1125;
constexpr int IDC_IMPORT_ADD = 1126;
constexpr int IDC_IMPORT_PREVIEW = 1127;
constexpr int IDC_IMPORT_COUNTS = 1128;
constexpr int IDC_IMPORT_PROBLEMS = 1129;
constexpr int IDC_IMPORT_COLUMN = 1170; // a column of the file
constexpr int IDC_IMPORT_ROLE = 1171;   // the field it goes to
constexpr int IDC_IMPORT_HEADER = 1172; // "First line holds column names"

// The review window.
constexpr int IDC_REVIEW_STATUS = 1130;
constexpr int IDC_REVIEW_PROMPT = 1131;
constexpr int IDC_REVIEW_SPELL = 1132;
constexpr int IDC_REVIEW_ANSWER = 1133;
constexpr int IDC_REVIEW_TYPED = 1134;
constexpr int IDC_REVIEW_CHECK = 1135;
constexpr int IDC_REVIEW_AGAIN = 1136; // the four grade buttons, in grade order
constexpr int IDC_REVIEW_HARD = 1137;
constexpr int IDC_REVIEW_GOOD = 1138;
constexpr int IDC_REVIEW_EASY = 1139;

// The review options.
constexpr int IDC_REVIEW_RETENTION = 1140;
constexpr int IDC_REVIEW_NEW_PER_DAY = 1141;
constexpr int IDC_REVIEW_PER_DAY = 1142;
constexpr int IDC_REVIEW_MEANING_SHOWN = 1143;
constexpr int IDC_REVIEW_TWO_ANSWERS = 1144;
constexpr int IDC_REVIEW_TYPE_ANSWER = 1145;

// System-menu command of the About item.
constexpr unsigned IDM_ABOUTBOX = 0x0010;

// Page navigation.
constexpr int IDC_FIRST_PAGE = 1000;
constexpr int IDC_PREV_PAGE = 1001;
constexpr int IDC_NEXT_PAGE = 1002;
constexpr int IDC_LAST_PAGE = 1003;
constexpr int IDC_PAGE = 1059;
constexpr int IDC_GOTO = 1060;
constexpr int IDC_GOTO_BUTTON = 1061;

// The two Hide boxes.
constexpr int IDC_HIDE_WORD = 1017;
constexpr int IDC_HIDE_MEAN = 1018;

// The add form; the Spell pair is never shown.
constexpr int IDC_WORD = 1009;
constexpr int IDC_MEAN = 1047;
constexpr int IDC_TYPE = 1063;
constexpr int IDC_ADD = 1016;
constexpr int IDC_SPELL = 1062;
constexpr int IDC_SPELL_LABEL = 1064;
constexpr int IDC_TYPE_LABEL = 1065;

// Row check boxes, rows 0 to 9.
constexpr int IDC_ROW_CHECK_0 = 1004;
constexpr int IDC_ROW_CHECK_1 = 1020;
constexpr int IDC_ROW_CHECK_2 = 1021;
constexpr int IDC_ROW_CHECK_3 = 1022;
constexpr int IDC_ROW_CHECK_4 = 1023;
constexpr int IDC_ROW_CHECK_5 = 1024;
constexpr int IDC_ROW_CHECK_6 = 1025;
constexpr int IDC_ROW_CHECK_7 = 1026;
constexpr int IDC_ROW_CHECK_8 = 1027;
constexpr int IDC_ROW_CHECK_9 = 1028;

// Word labels, rows 0 to 9.
constexpr int IDC_WORD_LABEL_0 = 1049;
constexpr int IDC_WORD_LABEL_1 = 1050;
constexpr int IDC_WORD_LABEL_2 = 1051;
constexpr int IDC_WORD_LABEL_3 = 1052;
constexpr int IDC_WORD_LABEL_4 = 1053;
constexpr int IDC_WORD_LABEL_5 = 1054;
constexpr int IDC_WORD_LABEL_6 = 1055;
constexpr int IDC_WORD_LABEL_7 = 1056;
constexpr int IDC_WORD_LABEL_8 = 1057;
constexpr int IDC_WORD_LABEL_9 = 1058;

// Word toggles, rows 0 to 9; 1009 belongs to the Word edit.
constexpr int IDC_WORD_TOGGLE_0 = 1005;
constexpr int IDC_WORD_TOGGLE_1 = 1006;
constexpr int IDC_WORD_TOGGLE_2 = 1007;
constexpr int IDC_WORD_TOGGLE_3 = 1008;
constexpr int IDC_WORD_TOGGLE_4 = 1010;
constexpr int IDC_WORD_TOGGLE_5 = 1011;
constexpr int IDC_WORD_TOGGLE_6 = 1012;
constexpr int IDC_WORD_TOGGLE_7 = 1013;
constexpr int IDC_WORD_TOGGLE_8 = 1014;
constexpr int IDC_WORD_TOGGLE_9 = 1015;

// Meaning labels, rows 0 to 9.
constexpr int IDC_MEAN_LABEL_0 = 1019;
constexpr int IDC_MEAN_LABEL_1 = 1029;
constexpr int IDC_MEAN_LABEL_2 = 1030;
constexpr int IDC_MEAN_LABEL_3 = 1031;
constexpr int IDC_MEAN_LABEL_4 = 1032;
constexpr int IDC_MEAN_LABEL_5 = 1033;
constexpr int IDC_MEAN_LABEL_6 = 1034;
constexpr int IDC_MEAN_LABEL_7 = 1035;
constexpr int IDC_MEAN_LABEL_8 = 1036;
constexpr int IDC_MEAN_LABEL_9 = 1048;

// Meaning toggles, rows 0 to 9.
constexpr int IDC_MEAN_TOGGLE_0 = 1037;
constexpr int IDC_MEAN_TOGGLE_1 = 1038;
constexpr int IDC_MEAN_TOGGLE_2 = 1039;
constexpr int IDC_MEAN_TOGGLE_3 = 1040;
constexpr int IDC_MEAN_TOGGLE_4 = 1041;
constexpr int IDC_MEAN_TOGGLE_5 = 1042;
constexpr int IDC_MEAN_TOGGLE_6 = 1043;
constexpr int IDC_MEAN_TOGGLE_7 = 1044;
constexpr int IDC_MEAN_TOGGLE_8 = 1045;
constexpr int IDC_MEAN_TOGGLE_9 = 1046;
