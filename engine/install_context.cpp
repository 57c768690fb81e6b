#include "install_context.h"

namespace tavrin {

namespace {
const ReleaseInfo kReleases[kReleaseCount] = {
    {2008, 2008, 1019, true, true},   {2009, 2008, 1020, true, false},
    {2010, 2010, 1027, true, false},  {2011, 2010, 1026, true, false},
    {2012, 2010, 1028, true, false},  {2013, 2013, 1029, true, false},
    {2014, 2013, 1030, true, false},  {2015, 2015, 1031, true, false},
    {2016, 2015, 1032, true, false},  {2017, 2017, 1033, false, false},
    {2018, 2018, 1034, false, false}, {2019, 2019, 1035, false, false},
    {2020, 2019, 1036, false, false}, {2021, 2021, 1037, false, false},
};
}  // namespace

const ReleaseInfo& ReleaseTable::At(int index) { return kReleases[index]; }

int ReleaseTable::IndexOf(int year) {
    if (year < kFirstYear || year > kLastYear) return -1;
    return year - kFirstYear;
}

int ReleaseTable::ModuleYearOf(int year) {
    const int index = IndexOf(year);
    return index < 0 ? 0 : kReleases[index].moduleYear;
}

int ReleaseTable::IndexOfCheckBox(int id) {
    for (int i = 0; i < kReleaseCount; ++i)
        if (kReleases[i].checkBoxId == id) return i;
    return -1;
}

const int ProductVersion = 20201008;

int SelectedReleases[kReleaseCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
int LicenceChoice = 1;
unsigned char InstallPathReady = 1;

}  // namespace tavrin
