-- G3 names G2 as its inlet although the screen drains into it.
-- expect: S26
-- level: 2
UPDATE tbl_rvldaten SET zulauf1 = 'G2' WHERE bez = 'G3';
