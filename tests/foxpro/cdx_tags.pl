#!/usr/bin/perl
# Prints the tags of a .cdx file as XBase::Index (Debian's libdbd-xbase-perl) reads them, one line
# each: "name<TAB>key expression<TAB>FOR expression<TAB>index options<TAB>sort order".
# Usage: cdx_tags.pl FILE.cdx
use strict;
use warnings;
use XBase::Index;

my $file = shift or die "usage: cdx_tags.pl FILE.cdx\n";
my $directory = XBase::Index->new($file, type => 'char') or die XBase::Index->errstr;
for my $name (@{ $directory->{tags} }) {
    my $tag = XBase::Index->new($file, tag => $name, type => 'char') or die XBase::Index->errstr;
    print join("\t", $name, $tag->{key_string}, $tag->{for_string}, $tag->{index_options}, $tag->{sort_order}), "\n";
}
