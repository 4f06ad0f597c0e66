#!/usr/bin/env python3
"""Renders the benchmark's files from the JSON model with Jinja2.

    jinja_render.py <model.json> <model name> <out dir> [<one file name>]

Writes the same files and bytes as bench/classes.tem (one header and one
source per object), or everything into one file when a name is given.
"""
import json
import os
import sys

import jinja2

HEADER = """\
// {{ o.name }}.h -- generated from {{ model }}, table {{ o.table }}
#ifndef {{ o.name }}_H
#define {{ o.name }}_H

#include <string>
{% if o.parent %}
#include "{{ o.parent }}.h"
{% endif %}

{% for a in o.attributes if a.target %}
class {{ a.target }};
{% endfor %}

class {{ o.name }}{{ " : public " ~ o.parent if o.parent }}
{
public:
    {{ o.name }}();
    virtual ~{{ o.name }}();

{% for a in o.attributes %}
    {{ a.cxx }} get_{{ a.name }}() const { return {{ a.name }}_; }
    void set_{{ a.name }}({{ a.cxx }} value) { {{ a.name }}_ = value; }
{% endfor %}

{% for f in o.functions %}
    virtual {{ f.rcxx }} {{ f.name }}({% for p in f.params %}{{ ", " if not loop.first }}{{ p.cxx }} {{ p.name }}{% endfor %});  // {{ f.role }}
{% endfor %}

private:
{% for a in o.attributes %}
    {{ a.cxx }} {{ a.name }}_;
{% endfor %}
};

#endif  // {{ o.name }}_H
"""

SOURCE = """\
// {{ o.name }}.cpp -- generated from {{ model }}, group {{ o.group }}
#include "{{ o.name }}.h"

{{ o.name }}::{{ o.name }}()
{% if o.parent %}
    : {{ o.parent }}()
{% endif %}
{% for a in o.attributes %}
    {{ ": " if loop.first and not o.parent else ", " }}{{ a.name }}_({{ a.init }})
{% endfor %}
{
}

{{ o.name }}::~{{ o.name }}()
{
}
{% for f in o.functions %}

{{ f.rcxx }} {{ o.name }}::{{ f.name }}({% for p in f.params %}{{ ", " if not loop.first }}{{ p.cxx }} {{ p.name }}{% endfor %})
{
    // BEGIN-UID.{{ f.uid }}
{{ f.body }}
    // END-UID.{{ f.uid }}
}
{% endfor %}
"""


def main(argv):
    if len(argv) not in (4, 5):
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        model = json.load(f)
    env = jinja2.Environment(trim_blocks=True, lstrip_blocks=True, keep_trailing_newline=True,
                             autoescape=False)
    header, source = env.from_string(HEADER), env.from_string(SOURCE)
    name, out_dir = argv[2], argv[3]
    if len(argv) == 5:
        with open(os.path.join(out_dir, argv[4]), "w", encoding="utf-8", newline="") as out:
            for o in model["objects"]:
                out.write(header.render(o=o, model=name))
                out.write(source.render(o=o, model=name))
        return 0
    for o in model["objects"]:
        for ext, template in ((".h", header), (".cpp", source)):
            with open(os.path.join(out_dir, o["name"] + ext), "w", encoding="utf-8", newline="") as out:
                out.write(template.render(o=o, model=name))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
