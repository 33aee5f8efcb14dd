# Sourced by what drives Chromium: installs puppeteer-core, which drives
# the browser, into the tools folder $tools (in the build folder, never in
# the repository) unless it is there; says so and ends where npm cannot.
if [ ! -d "$tools/node_modules/puppeteer-core" ]; then
  # Version 24: the last that runs on the node of Debian 12 and on node 20.
  mkdir -p "$tools" && (cd "$tools" && npm install --no-audit --no-fund --loglevel=error puppeteer-core@24 > /dev/null) ||
    { echo "npm could not install puppeteer-core"; exit 1; }
fi
