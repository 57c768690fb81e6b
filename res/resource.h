// Resource and control IDs, shared by the resource script and the wizard.
#pragma once

// Resources
#define IDI_SETUP 1
#define IDD_PAGE1_LICENCE 136
#define IDD_PAGE2_COMPONENTS 141
#define IDD_PAGE3_LOCATION 142
#define IDD_PAGE4_FINISH 143
#define IDB_LOGO 147
#define IDB_MENU_PICTURE 151

// Controls shared by the pages
#define IDC_BACK 1005
#define IDC_CAPTION 1011        // version caption on pages 1 and 2
#define IDC_SUBTITLE 1012
#define IDC_CAPTION_PAGE3 1013  // version caption on page 3

// Page 1
#define IDC_LICENCE_TEXT 1013
#define IDC_DISAGREE 1008
#define IDC_AGREE 1009
#define IDC_PREV_SCREEN 1014
#define IDC_NEXT_SCREEN 1015

// Page 2: one box per release, irregular IDs (2010 is 1027, 2011 is 1026)
#define IDC_ACAD2008 1019
#define IDC_ACAD2009 1020
#define IDC_ACAD2011 1026
#define IDC_ACAD2010 1027
#define IDC_ACAD2012 1028
#define IDC_ACAD2013 1029
#define IDC_ACAD2014 1030
#define IDC_ACAD2015 1031
#define IDC_ACAD2016 1032
#define IDC_ACAD2017 1033
#define IDC_ACAD2018 1034
#define IDC_ACAD2019 1035
#define IDC_ACAD2020 1036
#define IDC_ACAD2021 1037

// Page 3
#define IDC_PATH_EDIT 1000
#define IDC_BROWSE 1001
#define IDC_PROGRESS 1003

// Folder picker: the browser's tree and status line, and our added edit box
#define IDC_BROWSER_TREE 14145
#define IDC_BROWSER_STATUS 14147
#define IDC_BROWSER_PATH_EDIT 14148
