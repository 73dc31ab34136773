#!/usr/bin/env bash
# Writes the sample catalogue: about thirty meta-data files in several categories, companies and
# licence types, some with installers (referenced ones in a "Setups" folder beside the data
# folder, imported ones as <GUID>_INSTALL copies in the data folder).
# Usage: scripts/make-sample.sh ROOT WINROOT [ICON_EXE...]
#   ROOT     the Unix path of the folder to fill (its Data\ and Setups\ are replaced)
#   WINROOT  the same folder as Quorvane sees it, for example 'C:\QuorvaneDemo'
#   ICON_EXE programs whose copies serve as installers, so that cards show their icons
set -euo pipefail
export LC_ALL=C
root=$1
winroot=${2%\\}
shift 2
icons=("$@")

data="$root/Data"
setups="$root/Setups"
rm -rf "$data" "$setups"
mkdir -p "$data" "$setups"

# A stand-in installer: a copy of one of the given programs, else a few bytes.
n_icon=0
make_installer() {
  local target=$1
  if [ ${#icons[@]} -gt 0 ]; then
    cp "${icons[$((n_icon % ${#icons[@]}))]}" "$target"
    n_icon=$((n_icon + 1))
  else
    printf 'sample installer\n' >"$target"
  fi
}

# Name|Version|Company|Website|Price|Currency|Category|Type|User|Email|Codes|Installer
# Categories: 3 Compression Tools, 5 File Management, 7 Internet, 10 Multimedia, 12 Office Tools,
# 13 Programming, 15 Security, 16 System, 17 Text Edit. Types: 0 free, 1 shareware, 2 commercial.
# Currencies: 6 EUR, 8 GBP, 18 USD. Installer: - none, R referenced, I imported.
records=(
  "Lumen Notes|2.4.1|Brightline Software|www.brightline.example|0|18|17|0|Alex Moreau|alex@moreau.example||R:lumen-notes-setup.exe"
  "Packrat Archiver|5.10|Corvid Labs|https://corvid.example/packrat|29.95|18|3|1|Alex Moreau|alex@moreau.example|Licence key=PKR-2231-8841-0934|I:packrat-510.exe"
  "Harbor Mail|3.0.2|Deepwater Systems|http://deepwater.example|0|18|7|0|Alex Moreau|alex@moreau.example||R:harbor-mail.msi"
  "Quill Writer|11.2|Fennel & Stone|www.fennelstone.example|89|6|12|2|Alex Moreau|a.moreau@work.example|Serial=QW11-7781-AA20-5531|R:quill-writer-11.exe"
  "Tidepool Player|4.7|Gullwing Media|www.gullwing.example|0|18|10|0||||-"
  "Cinder Video Editor|2023.1|Gullwing Media|www.gullwing.example/cinder|149|18|10|2|Alex Moreau|alex@moreau.example|Product key=CVE-99A1-0F2C-771B;Upgrade code=UPG-2023-0007|I:cinder-2023-setup.exe"
  "Burrow Backup|7.1|Ironbark|https://ironbark.example|39.5|8|16|1|Alex Moreau|alex@moreau.example|Key=BB7-551-903|R:burrow-backup-7.exe"
  "Sentinel Guard|12.0|Halcyon Tools|www.halcyon.example|45|6|15|2|Alex Moreau|alex@moreau.example|Licence=SG12-0091-7742|R:sentinel-guard.exe"
  "Keystone Vault|1.9|Halcyon Tools|www.halcyon.example/vault|0|18|15|0||||-"
  "Forge IDE|8.3.0|Juniper Works|https://juniper.example/forge|199|18|13|2|Alex Moreau|a.moreau@work.example|Seat 1=FIDE-8-0001-ZX;Seat 2=FIDE-8-0002-ZX|I:forge-ide-8.3.exe"
  "Glyph Diff|2.2|Juniper Works|www.juniper.example|0|18|13|0||||R:glyph-diff.zip"
  "Meridian Sheets|6.0|Fennel & Stone|www.fennelstone.example/sheets|59|6|12|2|Alex Moreau|a.moreau@work.example|Serial=MS6-1182-0021|-"
  "Orchard FTP|3.3|Deepwater Systems|ftp://ftp.deepwater.example|19.99|18|7|1|Alex Moreau|alex@moreau.example|Key=OFTP-3-4410|R:orchard-ftp-3.3.exe"
  "Pebble Screen Saver|1.0|Brightline Software|www.brightline.example/pebble|0|18|16|0||||-"
  "Quarry File Manager|4.0.5|Corvid Labs|https://corvid.example/quarry|24|18|5|1|Alex Moreau|alex@moreau.example|Key=QFM4-8832|R:quarry-fm-4.exe"
  "Rook Chess Trainer|2.8|Ironbark|https://ironbark.example/rook|12|8|18|1||||-"
  "Saffron Photo|9.1|Gullwing Media|www.gullwing.example/saffron|79|18|10|2|Alex Moreau|alex@moreau.example|Serial=SPH9-0012-7765|R:saffron-photo-9.exe"
  "Thimble Text|1.6|Brightline Software|www.brightline.example/thimble|0|18|17|0||||R:thimble-text.exe"
  "Umber Disk Clean|3.2|Ironbark|https://ironbark.example/umber|0|18|16|0||||-"
  "Vantage Browser|102.0|Deepwater Systems|www.deepwater.example/vantage|0|18|7|0||||R:vantage-setup.exe"
  "Willow Zip|1.2|Corvid Labs|https://corvid.example/willow|0|18|3|0||||-"
  "Yarrow Tasks|5.5|Fennel & Stone|www.fennelstone.example/yarrow|15|6|12|1|Alex Moreau|alex@moreau.example|Key=YT5-2231|-"
  "Zephyr Sync|2.0|Halcyon Tools|www.halcyon.example/zephyr|9.99|18|5|1|Alex Moreau|alex@moreau.example|Key=ZS2-0098-1210|I:zephyr-sync-2.exe"
  "Anvil Compiler|14.1|Juniper Works|https://juniper.example/anvil|0|18|13|0||||R:anvil-14.1.msi"
  "Beacon Network Monitor|6.4|Deepwater Systems|www.deepwater.example/beacon|120|18|11|2|Alex Moreau|a.moreau@work.example|Licence=BNM6-7710-3321|R:beacon-nm-6.exe"
  "Coral Sketch|3.9|Gullwing Media|www.gullwing.example/coral|35|8|1|1||||-"
  "Drift Remote Desktop|2.6|Halcyon Tools|www.halcyon.example/drift|0|18|11|0||||-"
  "Ember Audio Recorder|1.3|Brightline Software|www.brightline.example/ember|0|18|10|0||||R:ember-audio.exe"
  "Fjord Disc Burner|8.0|Ironbark|https://ironbark.example/fjord|25|18|2|1|Alex Moreau|alex@moreau.example|Key=FDB8-0071|-"
  "Garnet Accounts|2024|Fennel & Stone|www.fennelstone.example/garnet|249|6|12|2|Alex Moreau|a.moreau@work.example|Serial=GA24-55A0-1192-0C1D|I:garnet-2024.exe"
)

element() { printf '<%s>\n%s</%s>\n' "$1" "$2" "$1"; }

k=0
for line in "${records[@]}"; do
  k=$((k + 1))
  IFS='|' read -r name version company website price currency category type user email codes installer <<<"$line"
  id=$(printf '%08X-51A3-4C7E-9B20-%012X' $((0x2F000000 + k * 7919)) $((k * 104729)))
  installer_path=""
  original_path=""
  attach_mode=0
  case "$installer" in
    R:*)
      file=${installer#R:}
      make_installer "$setups/$file"
      installer_path="$winroot\\Setups\\$file"
      original_path=$installer_path ;;
    I:*)
      file=${installer#I:}
      make_installer "$data/${id}_INSTALL"
      installer_path="$winroot\\Data\\${id}_INSTALL"
      original_path="D:\\Downloads\\$file"
      attach_mode=1 ;;
  esac
  {
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<Software>\n<BasicInfo>\n'
    element Name "$name"
    element Version "$version"
    element Company "$company"
    element Website "$website"
    element Price "$(printf '%5.2f' "$price")"
    element Currency "$currency"
    element Category "$category"
    element Type "$type"
    printf '</BasicInfo>\n<RegInfo>\n'
    element UserName "$user"
    element UserCompany "${user:+Moreau Consulting}"
    element UserEmail "$email"
    element Comment "${codes:+Bought for the studio machines.}"
    if [ -n "$codes" ]; then
      IFS=';' read -r -a pairs <<<"$codes"
      for pair in "${pairs[@]}"; do
        printf '<RegCode>\n'
        element CodeName "${pair%%=*}"
        element Code "${pair#*=}"
        printf '</RegCode>\n'
      done
    fi
    printf '</RegInfo>\n<InstallerInfo>\n'
    element InstallerPath "$installer_path"
    element OriginalPath "$original_path"
    element AttachMode "$attach_mode"
    printf '</InstallerInfo>\n</Software>\n'
  } >"$data/$id"
done
echo "sample catalogue: $k records in $data"
