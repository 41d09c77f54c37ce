-- G12 drains back into the siphon weir: a cycle.
-- expect: S24
-- level: 2
UPDATE tbl_rvldaten SET ablauf1 = 'D2' WHERE bez = 'G12';
UPDATE tbl_rvldaten SET zulauf1 = 'G12' WHERE bez = 'D4';
