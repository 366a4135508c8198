# Sourced by the benchmark scripts: writes the settings a front-end's first
# save would give, with the font every test machine has, into FILE, with
# OUTPUT_FOLDER as the output folder.
write_bench_settings() {
  local file=$1 output_folder=$2 letter
  {
    echo "[LastConfig]"
    echo "r_font_color=255"
    echo "g_font_color=128"
    echo "b_font_color=64"
    echo "font_select=0"
    echo "font_select_name=DejaVu Sans"
    for letter in {A..P}; do echo "Color$letter="; done
    echo "r_DropShadow_color=0"
    echo "g_DropShadow_color=0"
    echo "b_DropShadow_color=0"
    for letter in {A..P}; do echo "ShadowColor$letter="; done
    echo "DropShadow=yes"
    echo "TextBold=no"
    echo "TextItalic=no"
    echo "TextUnderline=no"
    echo "TextStrikeout=no"
    echo "TxtPosition=8"
    echo "StampSize=1"
    echo "DateFormat=0"
    echo "DayDisplay=s"
    echo "DayNotShow=no"
    echo "Separated=0"
    echo "MonthDisplay=s"
    echo "YearDisplay=l"
    echo "TimeStyle=HMS"
    echo "Output Path=$output_folder/"
    echo "border_margin=3"
    echo "MyTXT="
  } >"$file"
}
